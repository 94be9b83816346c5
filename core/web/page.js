// The page side of the web platform, linked into the program by emscripten:
// the listeners that fill the event queue (core/web/page_queue.js), the
// wait, the windows and their fit to the viewport.
// Listeners only queue what happened and wake the program, which takes the
// events off the queue itself (core/web/web_platform.cpp); nothing here calls
// game code. Every form is a canvas in a box of its own, centred in the page;
// core/web/page_canvas.js draws on them.
mergeInto(LibraryManager.library, {
  $Page__deps: ['$PageQueue'],
  $Page: {
    wakeUp: null,  // set while the program is suspended in page_wait
    timeout: 0,
    waits: 0,
    channel: null,
    // Right after a touch the browser holds timers back until it has drawn a
    // frame, which would make a touch's pitch a frame later than a key's:
    // for this long after one, a wait is kept by messages instead.
    touchedAt: -Infinity,
    touchHoldMs: 100,
    windows: {},  // window id: {box, canvas, width, height, border}
    stack: 0,
    // Device pixels per client pixel of a form: the device pixel ratio times
    // the fit.
    scale: 1,
    ratio: 1,  // the device pixel ratio the canvases are backed at
    // CSS pixels per client pixel: below 1 where the viewport is smaller
    // than what the page must show.
    fit: 1,
    relayoutPending: false,
    // What the app shows around the windows (app/web/pads.js), if anything:
    // {need(desk, upright) -> null or {width, height, below}, place(centre,
    // desk, fit, upright)}, in CSS pixels at a fit of 1.
    around: null,
    // The app's watchers of every key the page takes, before it is queued.
    keyWatchers: [],
    // Sees every change of a canvas's size in device pixels, where the
    // engine can (WebKit cannot; a resize event covers a zoom there).
    watcher: null,
    watchesDevicePixels: true,
    ctx: null,  // the canvas being painted (core/web/page_canvas.js)
    face: '',  // the name the page gives the game's face
    framed: false,

    push: function(event) {
      PageQueue.events.push(event);
      Page.resume();
    },
    resume: function() {
      if (!Page.wakeUp) return;
      var wakeUp = Page.wakeUp;
      Page.wakeUp = null;
      clearTimeout(Page.timeout);
      wakeUp();
    },
    // The game's key codes by the DOM's names, as the program hands them
    // over (core/web/dom_keys.cpp): a keypad digit key gives its digit's
    // code with Num Lock on (the browser then reports a digit) and its
    // navigation key's with it off.
    keys: {code: {}, key: {}, numpad0: 0},
    keyCode: function(e) {
      if (/^Numpad[0-9]$/.test(e.code) && /^[0-9]$/.test(e.key)) return Page.keys.numpad0 + Number(e.key);
      return Page.keys.code[e.code] || Page.keys.key[e.key] || 0;
    },
    // The keys the main form acts on, as the program gives them: their
    // default actions (Space scrolls) are kept from the page.
    takenKeys: [],
    // The events that cross to the program, named as PageEvent in
    // core/web/page.h.
    event: {key: 1, click: 2, boxClosed: 3, repaintAll: 4, choice: 5},

    // The windows sit centred in the page (beside or above the controls,
    // when they are shown), on whole device pixels so canvases stay sharp.
    // Where the viewport is smaller than all of it, windows, controls and the
    // box scale down together by one factor, and canvases are backed at the
    // device pixel ratio times it.
    layout: function() {
      var ratio = window.devicePixelRatio || 1;
      var width = window.innerWidth, height = window.innerHeight;
      var upright = height > width;
      // The windows shown now, in CSS pixels with their borders: the page
      // shrinks only as much as what it shows needs.
      var desk = {width: 0, height: 0};
      for (var id in Page.windows) {
        if (Page.windows[id].box.hidden) continue;
        desk.width = Math.max(desk.width, Page.outerWidth(Page.windows[id]));
        desk.height = Math.max(desk.height, Page.outerHeight(Page.windows[id]));
      }
      var around = Page.around && Page.around.need(desk, upright);
      var need = around || desk;
      var fit = Math.min(1, width / need.width, height / need.height);
      // The windows are centred in what is left above what goes below them.
      var centre = {x: width / 2, y: (height - (around ? around.below * fit : 0)) / 2};
      if (around) Page.around.place(centre, desk, fit, upright);

      var scale = ratio * fit;
      var rescaled = scale !== Page.scale || ratio !== Page.ratio;
      Page.scale = scale;
      Page.ratio = ratio;
      Page.fit = fit;
      document.documentElement.style.setProperty('--fit', String(fit));
      var snap = function(css) { return Math.round(css * ratio) / ratio + 'px'; };
      for (var id in Page.windows) {
        var w = Page.windows[id];
        if (rescaled) Page.back(w);
        w.box.style.left = snap(centre.x - (w.width * fit + 2 * w.border) / 2);
        w.box.style.top = snap(centre.y - (w.height * fit + 2 * w.border) / 2);
      }
      if (rescaled) Page.push([Page.event.repaintAll]);
    },
    // A canvas covers whole device pixels, one backing pixel each, so the
    // browser never resamples it.
    back: function(w) {
      w.canvas.width = Math.round(w.width * Page.scale);
      w.canvas.height = Math.round(w.height * Page.scale);
      w.canvas.style.width = w.canvas.width / Page.ratio + 'px';
      w.canvas.style.height = w.canvas.height / Page.ratio + 'px';
    },
    outerWidth: function(w) { return w.width + 2 * w.border; },
    outerHeight: function(w) { return w.height + 2 * w.border; },
    watch: function(canvas) {
      if (typeof ResizeObserver !== 'function') return;
      if (!Page.watcher) Page.watcher = new ResizeObserver(Page.relayout);
      if (Page.watchesDevicePixels) {
        try {
          Page.watcher.observe(canvas, {box: 'device-pixel-content-box'});
          return;
        } catch (e) {
          Page.watchesDevicePixels = false;
        }
      }
      Page.watcher.observe(canvas);
    },
    // On the next frame, when a resize or a new device pixel ratio (a page
    // zoom, another screen) has taken effect.
    relayout: function() {
      if (Page.relayoutPending) return;
      Page.relayoutPending = true;
      requestAnimationFrame(function() {
        Page.relayoutPending = false;
        Page.layout();
      });
    },
  },

  page_init__deps: ['$Page'],
  page_init: function(keys, keysLength, face) {
    Page.keys = JSON.parse(UTF8ToString(keys, keysLength));
    Page.face = UTF8ToString(face);
    Page.channel = new MessageChannel();
    // A wait shorter than the browser's clamp on nested timeouts (4 ms)
    // starts its timeout from a message, where no clamp applies.
    Page.channel.port1.onmessage = function(message) {
      if (message.data.wait !== Page.waits || !Page.wakeUp) return;
      var now = performance.now(), left = message.data.until - now;
      if (left <= 0) Page.resume();
      else if (now - Page.touchedAt < Page.touchHoldMs) Page.channel.port2.postMessage(message.data);
      else Page.timeout = setTimeout(Page.resume, left);
    };
    window.addEventListener('keydown', function(e) {
      if (document.querySelector('dialog[open]')) return;  // the box has the keyboard
      var code = Page.keyCode(e);
      if (Page.takenKeys.indexOf(code) >= 0) e.preventDefault();
      Page.keyWatchers.forEach(function(watch) { watch(e); });
      if (code) Page.push([Page.event.key, code]);
    });
    window.addEventListener('pointerdown', function(e) {
      if (e.pointerType === 'touch') Page.touchedAt = performance.now();
    }, true);
    // No long-press menu or callout where the game takes input.
    var desk = document.getElementById('desk');
    if (desk) desk.addEventListener('contextmenu', function(e) { e.preventDefault(); });
    window.addEventListener('resize', Page.relayout);
    Page.ratio = window.devicePixelRatio || 1;
    Page.scale = Page.ratio * Page.fit;
  },

  page_now: function() {
    return performance.now();
  },

  // Asyncify calls this again as it resumes the program: it must reach
  // handleSleep every time.
  page_wait__deps: ['$Page'],
  page_wait: function(ms) {
    Asyncify.handleSleep(function(wakeUp) {
      Page.wakeUp = wakeUp;
      var wait = ++Page.waits;
      var now = performance.now();
      if (ms >= 4 && now - Page.touchedAt >= Page.touchHoldMs) Page.timeout = setTimeout(Page.resume, ms);
      else if (ms >= 0) Page.channel.port2.postMessage({wait: wait, until: now + ms});
    });
  },

  page_show_form__deps: ['$Page', '$PageCanvas'],
  page_show_form: function(id, width, height, border, borderRgb, takesKeys, caption, captionLength, keys, keyCount) {
    var w = Page.windows[id];
    if (!w) {
      var box = document.createElement('div');
      box.className = 'window';
      if (border) box.style.border = border + 'px solid ' + PageCanvas.colour(borderRgb);
      var canvas = document.createElement('canvas');
      w = Page.windows[id] = {box: box, canvas: canvas, width: width, height: height, border: border,
                              ctx: canvas.getContext('2d', {alpha: false})};
      Page.back(w);
      box.appendChild(canvas);
      document.getElementById('desk').appendChild(box);
      Page.watch(canvas);
      // A left button's or a finger's release is a click, in client pixels.
      canvas.addEventListener('pointerdown', function(e) { e.preventDefault(); });
      canvas.addEventListener('pointerup', function(e) {
        if (e.button !== 0) return;
        var r = canvas.getBoundingClientRect();
        var x = (e.clientX - r.left) * width / r.width, y = (e.clientY - r.top) * height / r.height;
        if (x < 0 || y < 0 || x >= width || y >= height) return;
        Page.push([Page.event.click, id, x, y]);
      });
      if (takesKeys && captionLength > 0) document.title = UTF8ToString(caption, captionLength);
      if (takesKeys) Page.takenKeys = Array.from(HEAP32.subarray(keys >> 2, (keys >> 2) + keyCount));
    }
    w.box.hidden = false;
    w.box.style.zIndex = ++Page.stack;
    Page.layout();
  },

  page_hide_form__deps: ['$Page'],
  page_hide_form: function(id) {
    if (!Page.windows[id]) return;
    Page.windows[id].box.hidden = true;
    Page.layout();
  },

  page_open_box__deps: ['$Page'],
  page_open_box: function(id, prompt, promptLength, title, titleLength, minWidth) {
    var dialog = document.createElement('dialog');
    dialog.dataset.box = id;
    dialog.style.minWidth = minWidth + 'px';
    var heading = document.createElement('h1');
    heading.textContent = UTF8ToString(title, titleLength);
    var text = document.createElement('p');
    text.textContent = UTF8ToString(prompt, promptLength);
    var form = document.createElement('form');
    form.method = 'dialog';
    var ok = document.createElement('button');
    ok.textContent = 'OK';
    form.appendChild(ok);
    dialog.append(heading, text, form);
    document.body.appendChild(dialog);
    // Escape cancels, Enter and OK submit: each closes the dialog.
    dialog.addEventListener('close', function() {
      dialog.remove();
      if (!dialog.dataset.closedByProgram) Page.push([Page.event.boxClosed, id]);
    });
    dialog.showModal();
    ok.focus();
  },

  page_close_box: function(id) {
    var dialog = document.querySelector('dialog[data-box="' + id + '"]');
    if (!dialog) return;
    dialog.dataset.closedByProgram = '1';
    dialog.close();
  },
});
