// The game's on-screen controls: the pitcher's pad (keypad 7, 8, 9) and the
// batter's (Space, Shift), shown on a touch screen or to a player whose
// keyboard has no keypad, and placed around the windows with the page's own
// "Player 2" choice; and the hint for a player who pitches from the main
// row's 7, 8 and 9. A button is the key it names: it queues what the key
// would, through the page (core/web/page.js).
mergeInto(LibraryManager.library, {
  $Pads: {
    // In CSS pixels at a fit of 1: each pad is a row of buttons, and the
    // pads keep this gap from the windows and each other.
    padSize: {width: 196, height: 64},
    padGap: 16,
    // The page's own choice beside them (#player2), as wide as a pad.
    choiceSize: {width: 196, height: 32},
    shown: false,
    hinted: false,

    // What the page must hold besides the windows: upright the pads are a
    // row below them with the choice below that; sideways they flank the
    // windows, the choice below the pitcher's pad.
    need: function(desk, upright) {
      if (!Pads.shown) return null;
      var pad = Pads.padSize, gap = Pads.padGap;
      var column = pad.height + gap / 2 + Pads.choiceSize.height;
      if (upright)
        return {width: Math.max(desk.width, 2 * pad.width + gap), height: desk.height + gap + column,
                below: gap + column};
      return {width: desk.width + 2 * (gap + pad.width), height: Math.max(desk.height, column), below: 0};
    },
    // Sideways the pitcher's pad is left of the windows and the batter's
    // right of them; upright both are below, the pitcher's on the left.
    place: function(centre, desk, fit, upright) {
      var pad = Pads.padSize, gap = Pads.padGap;
      var pitcher = document.getElementById('pitcher'), batter = document.getElementById('batter');
      var top, pitcherLeft, batterLeft;
      if (upright) {
        top = centre.y + (desk.height / 2 + gap) * fit;
        pitcherLeft = centre.x - (pad.width + gap / 2) * fit;
        batterLeft = centre.x + gap / 2 * fit;
      } else {
        top = centre.y - pad.height / 2 * fit;
        pitcherLeft = centre.x - (desk.width / 2 + gap + pad.width) * fit;
        batterLeft = centre.x + (desk.width / 2 + gap) * fit;
      }
      pitcher.style.left = pitcherLeft + 'px';
      batter.style.left = batterLeft + 'px';
      pitcher.style.top = batter.style.top = top + 'px';
      var choice = document.getElementById('player2');
      if (!choice) return;
      choice.classList.add('beside-pads');
      choice.style.left = (upright ? centre.x - Pads.choiceSize.width / 2 * fit : pitcherLeft) + 'px';
      choice.style.top = top + (pad.height + gap / 2) * fit + 'px';
    },
    show: function() {
      if (Pads.shown || !document.getElementById('pads')) return;
      Pads.shown = true;
      document.getElementById('pads').hidden = false;
      Page.layout();
    },
    // A control gives exactly what its key gives: it is that key, by code.
    press: function(button) {
      if (document.querySelector('dialog[open]')) return;
      if (button.parentElement.id === 'pitcher') Pads.unhint();
      Page.push([Page.event.key, Page.keyCode({code: button.dataset.code, key: button.dataset.key})]);
    },
    // The main row's 7, 8 and 9 do nothing in the game; the first time one
    // is pressed the page says where pitches come from and offers its pads.
    hint: function() {
      if (Pads.hinted) return;
      Pads.hinted = true;
      var hint = document.getElementById('hint');
      if (hint) hint.hidden = false;
      Pads.show();
    },
    unhint: function() {
      var hint = document.getElementById('hint');
      if (hint) hint.hidden = true;
    },
    watchKey: function(e) {
      if (/^Digit[789]$/.test(e.code) && !e.repeat) Pads.hint();
      if (/^Numpad[789]$/.test(e.code)) Pads.unhint();
    },
  },

  pads_init__deps: ['$Page', '$Pads'],
  pads_init: function() {
    Page.around = Pads;
    Page.keyWatchers.push(Pads.watchKey);
    var buttons = document.querySelectorAll('#pads button');
    for (var i = 0; i < buttons.length; ++i) {
      var button = buttons[i];
      // On the press itself, not the click that follows the release; no
      // focus, selection or emulated mouse events follow it.
      button.addEventListener('pointerdown', function(e) {
        e.preventDefault();
        e.currentTarget.classList.add('pressed');
        Pads.press(e.currentTarget);
      });
      ['pointerup', 'pointercancel', 'pointerleave'].forEach(function(type) {
        button.addEventListener(type, function(e) { e.currentTarget.classList.remove('pressed'); });
      });
      // Enter on a button reached with Tab presses it too.
      button.addEventListener('click', function(e) {
        if (e.detail === 0) Pads.press(e.currentTarget);
      });
    }
    var coarse = window.matchMedia && window.matchMedia('(pointer: coarse)').matches;
    if (coarse) Pads.show();
    window.addEventListener('pointerdown', function(e) {
      if (e.pointerType === 'touch') Pads.show();
    }, true);
    var pads = document.getElementById('pads');
    if (pads) pads.addEventListener('contextmenu', function(e) { e.preventDefault(); });
  },
});
