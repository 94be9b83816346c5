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
  // The bytes of one of the page's base64 data blocks; throws when the
  // block is missing or not base64. The engine's own decoder is ten times
  // quicker than a loop over atob's characters, where there is one.
  function bytes(id) {
    var base64 = document.getElementById(id).textContent;
    if (typeof Uint8Array.fromBase64 === 'function') return Uint8Array.fromBase64(base64).buffer;
    var text = atob(base64), data = new Uint8Array(text.length);
    for (var i = 0; i < text.length; ++i) data[i] = text.charCodeAt(i);
    return data.buffer;
  }
  function start() {
    if (typeof WebAssembly !== 'object' || typeof WebAssembly.instantiate !== 'function') {
      problem('This game needs a browser that runs WebAssembly.');
      return;
    }
    var faces, ready;
    try {
      // The game's copy of DejaVu Sans Condensed, named as page.js asks for
      // it. The page's own text is set in it too, so the first layout looks
      // up no system font.
      faces = [
        new FontFace('Diamond Text', bytes('font')),
        new FontFace('Diamond Text', bytes('bold-font'), {weight: 'bold'}),
      ];
      faces.forEach(function (face) { document.fonts.add(face); });
      // The program is compiled here and now, before the page draws a frame
      // of its own (it is small, so every engine allows it); it throws if
      // its bytes are not a whole program.
      ready = createDiamond({onAbort: failed, wasmBinary: bytes('program')});
    } catch (e) {
      failed();
      return;
    }
    // The game starts once the fonts are ready.
    Promise.all([ready].concat(faces.map(function (face) { return face.load(); })))
      .then(function (loaded) {
        var game = loaded[0];
        // The game's loop runs inside this call, suspended between events.
        game.ccall('start_game', null, [], [], {async: true}).catch(failed);
        // The call returns at the program's first wait, its first frame
        // drawn; the files are kept once that frame is on the screen, so
        // that keeping them does not slow the start.
        requestAnimationFrame(function () { setTimeout(keepFiles, 0); });
      })
      .catch(failed);
  }
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
