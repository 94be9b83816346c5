// Starts the game once its font has loaded, or says in one sentence why it
// cannot; keeps the site's files for offline play, and offers a new build.
(function () {
  'use strict';
  function problem(sentence) {
    var line = document.getElementById('problem');
    line.textContent = sentence;
    line.hidden = false;
  }
  if (typeof WebAssembly !== 'object' || typeof WebAssembly.instantiate !== 'function') {
    problem('This game needs a browser that runs WebAssembly.');
    return;
  }
  function failed() {
    problem('Part of the game could not be loaded; reload the page to try again.');
  }
  if (typeof createDiamond !== 'function') {
    failed();
    return;
  }
  // The game's copy of DejaVu Sans Condensed, named as page.js asks for it.
  var faces = [
    new FontFace('Diamond Text', 'url(fonts/DejaVuSansCondensed.ttf)'),
    new FontFace('Diamond Text', 'url(fonts/DejaVuSansCondensed-Bold.ttf)', {weight: 'bold'}),
  ];
  // The fonts and the program load side by side; the game starts when both
  // are there.
  var fonts = Promise.all(faces.map(function (face) { return face.load(); }));
  Promise.all([fonts, createDiamond({onAbort: failed})])
    .then(function (loaded) {
      loaded[0].forEach(function (face) { document.fonts.add(face); });
      return loaded[1];
    })
    .then(function (game) {
      // The game's loop runs inside this call, suspended between events.
      game.ccall('start_game', null, [], [], {async: true}).catch(failed);
    })
    .catch(failed);
  // A new build's worker takes over from the old one as soon as it has
  // kept the new files; the page then offers to reload into them. (The
  // first worker of a visit takes over a page that had none: nothing new.)
  if ('serviceWorker' in navigator) {
    var updating = !!navigator.serviceWorker.controller;
    navigator.serviceWorker.addEventListener('controllerchange', function () {
      if (!updating) return;
      var notice = document.getElementById('update');
      notice.hidden = false;
      notice.querySelector('button').addEventListener('click', function () { location.reload(); });
    });
    navigator.serviceWorker.register('sw.js').catch(function () {});
  }
})();
