// Starts the game from the program and fonts written into the page, or says
// in one sentence why it cannot; keeps the site's files for offline play,
// and offers a new build. Runs from the page's head, so it waits for the
// rest of the page.
(function () {
  'use strict';
  function problem(sentence) {
    // A page cut short may lack the line; then it says so at its end.
    var line = document.getElementById('problem') || document.body.appendChild(document.createElement('p'));
    line.textContent = sentence;
    line.hidden = false;
  }
  function failed() {
    problem('Part of the game could not be loaded; reload the page to try again.');
  }
  // The bytes of one of the page's data blocks (app/web/make_page.py): each
  // character's low byte, which a Uint8Array keeps. Throws when the block
  // is missing.
  function bytes(id) {
    var text = document.getElementById(id).textContent, data = new Uint8Array(text.length);
    for (var i = 0; i < text.length; ++i) data[i] = text.charCodeAt(i);
    return data.buffer;
  }
  // The game's copy of its face, under the name the program gives it; the
  // page's own text is set in it too, so the first layout looks up no
  // system font.
  function withFonts(game) {
    var face = game.ccall('page_face_name', 'string', [], []);
    var faces = [
      new FontFace(face, bytes('font')),
      new FontFace(face, bytes('bold-font'), {weight: 'bold'}),
    ];
    faces.forEach(function (f) { document.fonts.add(f); });
    document.documentElement.style.setProperty('--game-face', '"' + face + '"');
    return Promise.all(faces.map(function (f) { return f.load(); })).then(function () { return game; });
  }
  // An invitation's page, the host's or its friend's, plays on two screens:
  // "#host=" or "#join=" and the room's token; where no server was there to
  // meet through, the friend's link carries the host's offer too.
  var invitation = /^#(host|join)=([A-Za-z0-9_-]{22})(?:&offer=([A-Za-z0-9_-]{1,2000}))?$/.exec(location.hash);
  function script(src) {
    return new Promise(function (loaded, failed) {
      var element = document.createElement('script');
      element.src = src;
      element.onload = loaded;
      element.onerror = failed;
      document.head.appendChild(element);
    });
  }
  // The two-screen program and the page's side of it load only here.
  function startTwoScreens() {
    var player = invitation[1] === 'host' ? 1 : 2, token = invitation[2];
    Promise.all(['two/qr.js', 'two/friend.js', 'two/two.js'].map(script))
      .then(function () {
        return createDiamondTwo({onAbort: failed, locateFile: function (file) { return 'two/' + file; }});
      })
      .then(withFonts)
      .then(function (game) {
        if (!Friend.start(game, player, token, invitation[3])) return;
        game.ccall('start_two_screens', null, ['number', 'string'], [player, token], {async: true}).catch(failed);
      })
      .catch(failed);
  }
  function start() {
    if (typeof WebAssembly !== 'object' || typeof WebAssembly.instantiate !== 'function') {
      problem('This game needs a browser that runs WebAssembly.');
      return;
    }
    if (invitation) {
      startTwoScreens();
      requestAnimationFrame(function () { setTimeout(keepFiles, 0); });
      return;
    }
    var ready;
    try {
      // The program is compiled here and now, before the page draws a frame
      // of its own (it is small, so every engine allows it); it throws if
      // its bytes are not a whole program.
      ready = createDiamond({onAbort: failed, wasmBinary: bytes('program')});
    } catch (e) {
      failed();
      return;
    }
    Promise.resolve(ready)
      .then(withFonts)
      .then(function (game) {
        // The game's loop runs inside this call, suspended between events.
        game.ccall('start_game', null, [], [], {async: true}).catch(failed);
        // The call returns at the program's first wait, its first frame
        // drawn; the files are kept once that frame is on the screen, so
        // that keeping them does not slow the start.
        requestAnimationFrame(function () { setTimeout(keepFiles, 0); });
      })
      .catch(failed);
  }
  // "Friend on another device" in the "Player 2" control: the page becomes
  // the host's, in a new room, where a network and WebRTC allow it; else it
  // says why and keeps the choice it had.
  window.inviteFriend = function (select, previous) {
    var why = !navigator.onLine ? 'Playing with a friend on another device needs a network.'
            : typeof RTCPeerConnection !== 'function' ? 'Playing on two screens needs a browser with WebRTC.'
            : '';
    if (why) {
      select.value = previous;
      var line = document.getElementById('friend-status') || document.body.appendChild(document.createElement('p'));
      line.id = 'friend-status';
      line.setAttribute('role', 'status');
      line.textContent = why;
      return;
    }
    var random = crypto.getRandomValues(new Uint8Array(16));
    var token = btoa(String.fromCharCode.apply(null, random)).replace(/\+/g, '-').replace(/\//g, '_').slice(0, 22);
    location.hash = '#host=' + token;
    location.reload();
  };
  // A new build's worker takes over from the old one as soon as it has
  // kept the new files; the page then offers to reload into them. (The
  // first worker of a visit takes over a page that had none: nothing new.)
  var workers = navigator.serviceWorker;
  if (workers) {
    var updating = !!workers.controller;
    workers.addEventListener('controllerchange', function () {
      if (!updating) return;
      var notice = document.getElementById('update');
      notice.hidden = false;
      notice.querySelector('button').addEventListener('click', function () { location.reload(); });
    });
  }
  function keepFiles() {
    if (workers) workers.register('sw.js').catch(function () {});
  }
  document.addEventListener('DOMContentLoaded', start);
})();
