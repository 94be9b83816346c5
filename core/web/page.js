// The page side of the web platform, linked into the program by emscripten.
// Listeners only queue what happened and wake the program, which takes the
// events off the queue itself (core/web/web_platform.cpp); nothing here calls
// game code. Every form is a canvas in a box of its own, centred in the page.
mergeInto(LibraryManager.library, {
  $Page: {
    queue: [],
    wakeUp: null,  // set while the program is suspended in page_wait
    timeout: 0,
    waits: 0,
    channel: null,
    // Right after a touch the browser holds timers back until it has drawn a
    // frame, which would make a touch's pitch a frame later than a key's:
    // for this long after one, a wait is kept by messages instead.
    touchedAt: -Infinity,
    touchHoldMs: 100,
    windows: {},  // window id: {box, canvas, width, height, thin}
    stack: 0,
    // Device pixels per client pixel of a form: the device pixel ratio times
    // the fit.
    scale: 1,
    ratio: 1,  // the device pixel ratio the canvases are backed at
    // CSS pixels per client pixel: below 1 where the viewport is smaller
    // than what the page must show.
    fit: 1,
    padsShown: false,
    hinted: false,
    relayoutPending: false,
    // Sees every change of a canvas's size in device pixels, where the
    // engine can (WebKit cannot; a resize event covers a zoom there).
    watcher: null,
    watchesDevicePixels: true,
    ctx: null,
    framed: false,

    push: function(event) {
      Page.queue.push(event);
      Page.resume();
    },
    resume: function() {
      if (!Page.wakeUp) return;
      var wakeUp = Page.wakeUp;
      Page.wakeUp = null;
      clearTimeout(Page.timeout);
      wakeUp();
    },
    colour: function(rgb) {
      return '#' + ('00000' + rgb.toString(16)).slice(-6);
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
    // The numbers that cross to the program (core/web/web_platform.cpp)
    // and back from it (core/web/page.h), named on both sides.
    event: {key: 1, click: 2, boxClosed: 3, repaintAll: 4, choice: 5},
    shape: {rectangle: 0, roundedRectangle: 1, oval: 2},
    align: {left: 0, right: 1, centre: 2},

    // The on-screen controls, in CSS pixels at a fit of 1: each pad is a row
    // of buttons, and the pads keep this gap from the windows and each other.
    padSize: {width: 196, height: 64},
    padGap: 16,
    // The page's own choice beside them (#player2), as wide as a pad.
    choiceSize: {width: 196, height: 32},

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
      var pad = Page.padSize, gap = Page.padGap, choice = Page.choiceSize;
      // Upright the pads are a row below the windows with the page's own
      // choice below them; sideways the choice is below the pitcher's pad.
      var column = pad.height + gap / 2 + choice.height;
      var need = desk;
      if (Page.padsShown)
        need = upright ? {width: Math.max(desk.width, 2 * pad.width + gap), height: desk.height + gap + column}
                       : {width: desk.width + 2 * (gap + pad.width), height: Math.max(desk.height, column)};
      var fit = Math.min(1, width / need.width, height / need.height);
      // Where the windows are centred, and where the pads go.
      var centre = {x: width / 2, y: height / 2};
      if (Page.padsShown && upright) centre.y = (height - (gap + column) * fit) / 2;
      if (Page.padsShown) Page.placePads(centre, desk, fit, upright);

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
        var border = w.thin ? 2 : 0;
        w.box.style.left = snap(centre.x - (w.width * fit + border) / 2);
        w.box.style.top = snap(centre.y - (w.height * fit + border) / 2);
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
    // How far right and down a pen's path moves, in client pixels, to cover
    // the device pixels the desktop's pen covers: a pen even in device
    // pixels spreads evenly about its line, and an odd one's spare pixel
    // falls right of and below it, so it runs through pixel centres.
    spare: function(pen) {
      return Math.round(pen * Page.scale) % 2 ? 0.5 / Page.scale : 0;
    },
    outerWidth: function(w) { return w.width + (w.thin ? 2 : 0); },
    outerHeight: function(w) { return w.height + (w.thin ? 2 : 0); },
    // Sideways the pitcher's pad is left of the windows and the batter's
    // right of them; upright both are below, the pitcher's on the left.
    placePads: function(centre, desk, fit, upright) {
      var pad = Page.padSize, gap = Page.padGap;
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
      choice.style.left = (upright ? centre.x - Page.choiceSize.width / 2 * fit : pitcherLeft) + 'px';
      choice.style.top = top + (pad.height + gap / 2) * fit + 'px';
    },
    // Shown where the primary pointer is coarse, once a touch arrives, or to
    // a player whose keyboard has no keypad.
    showPads: function() {
      if (Page.padsShown || !document.getElementById('pads')) return;
      Page.padsShown = true;
      document.getElementById('pads').hidden = false;
      Page.layout();
    },
    // A control gives exactly what its key gives: it is that key, by code.
    press: function(button) {
      if (document.querySelector('dialog[open]')) return;
      if (button.parentElement.id === 'pitcher') Page.unhint();
      Page.push([Page.event.key, Page.keyCode({code: button.dataset.code, key: button.dataset.key})]);
    },
    initPads: function() {
      var buttons = document.querySelectorAll('#pads button');
      for (var i = 0; i < buttons.length; ++i) {
        var button = buttons[i];
        // On the press itself, not the click that follows the release; no
        // focus, selection or emulated mouse events follow it.
        button.addEventListener('pointerdown', function(e) {
          e.preventDefault();
          e.currentTarget.classList.add('pressed');
          Page.press(e.currentTarget);
        });
        ['pointerup', 'pointercancel', 'pointerleave'].forEach(function(type) {
          button.addEventListener(type, function(e) { e.currentTarget.classList.remove('pressed'); });
        });
        // Enter on a button reached with Tab presses it too.
        button.addEventListener('click', function(e) {
          if (e.detail === 0) Page.press(e.currentTarget);
        });
      }
      var coarse = window.matchMedia && window.matchMedia('(pointer: coarse)').matches;
      if (coarse) Page.showPads();
      window.addEventListener('pointerdown', function(e) {
        if (e.pointerType !== 'touch') return;
        Page.touchedAt = performance.now();
        Page.showPads();
      }, true);
      // No long-press menu or callout where the game takes input.
      ['desk', 'pads'].forEach(function(id) {
        var element = document.getElementById(id);
        if (element) element.addEventListener('contextmenu', function(e) { e.preventDefault(); });
      });
    },
    // The main row's 7, 8 and 9 do nothing in the game; the first time one
    // is pressed the page says where pitches come from and offers its pads.
    hint: function() {
      if (Page.hinted) return;
      Page.hinted = true;
      var hint = document.getElementById('hint');
      if (hint) hint.hidden = false;
      Page.showPads();
    },
    unhint: function() {
      var hint = document.getElementById('hint');
      if (hint) hint.hidden = true;
    },
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
    wrap: function(ctx, text, width) {
      var lines = [], line = '';
      text.split(' ').forEach(function(word) {
        var wider = line ? line + ' ' + word : word;
        if (line && ctx.measureText(wider).width > width) {
          lines.push(line);
          line = word;
        } else {
          line = wider;
        }
      });
      lines.push(line);
      return lines;
    },
  },

  page_init__deps: ['$Page'],
  page_init: function(keys, keysLength) {
    Page.keys = JSON.parse(UTF8ToString(keys, keysLength));
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
      if (/^Digit[789]$/.test(e.code) && !e.repeat) Page.hint();
      if (/^Numpad[789]$/.test(e.code)) Page.unhint();
      if (code) Page.push([Page.event.key, code]);
    });
    window.addEventListener('resize', Page.relayout);
    Page.ratio = window.devicePixelRatio || 1;
    Page.scale = Page.ratio * Page.fit;
    Page.initPads();
  },

  page_now: function() {
    return performance.now();
  },

  page_seconds_since_midnight: function() {
    var now = performance.timeOrigin + performance.now();
    var midnight = new Date(now);
    midnight.setHours(0, 0, 0, 0);
    return (now - midnight.getTime()) / 1000;
  },

  page_take_event__deps: ['$Page'],
  page_take_event: function(out) {
    var event = Page.queue.shift();
    if (!event) return 0;
    for (var i = 0; i < 4; ++i) HEAPF64[(out >> 3) + i] = event[i] || 0;
    return 1;
  },

  page_pending__deps: ['$Page'],
  page_pending: function() {
    return Page.queue.length > 0;
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

  page_show_form__deps: ['$Page'],
  page_show_form: function(id, width, height, thin, takesKeys, caption, captionLength, keys, keyCount) {
    var w = Page.windows[id];
    if (!w) {
      var box = document.createElement('div');
      box.className = thin ? 'window thin' : 'window';
      var canvas = document.createElement('canvas');
      w = Page.windows[id] = {box: box, canvas: canvas, width: width, height: height, thin: thin,
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
  page_open_box: function(id, prompt, promptLength, title, titleLength) {
    var dialog = document.createElement('dialog');
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
      Page.push([Page.event.boxClosed, id]);
    });
    dialog.showModal();
    ok.focus();
  },

  page_begin_paint__deps: ['$Page'],
  page_begin_paint: function(id, x, y, width, height) {
    var w = Page.windows[id], ctx = w.ctx;
    ctx.save();
    ctx.setTransform(w.canvas.width / w.width, 0, 0, w.canvas.height / w.height, 0, 0);
    ctx.beginPath();
    ctx.rect(x, y, width, height);
    ctx.clip();
    Page.ctx = ctx;
  },

  page_end_paint__deps: ['$Page'],
  page_end_paint: function() {
    Page.ctx.restore();
    // The first drawing reaches the screen in the frame after it.
    if (!Page.framed) {
      Page.framed = true;
      requestAnimationFrame(function() { performance.mark('diamond-first-frame'); });
    }
  },

  page_fill_rect__deps: ['$Page'],
  page_fill_rect: function(x, y, width, height, rgb) {
    Page.ctx.fillStyle = Page.colour(rgb);
    Page.ctx.fillRect(x, y, width, height);
  },

  // As on the desktop: an outline runs along the lines through the shape's
  // outermost pixels, the rectangle one pixel narrower and lower than the
  // shape, so a pen reaches half its width outside the shape's left and top.
  // An outlined shape is filled inside the same lines.
  page_shape__deps: ['$Page'],
  page_shape: function(kind, x, y, width, height, fill, ink, pen, r) {
    var ctx = Page.ctx;
    var path = function(left, top, w, h) {
      ctx.beginPath();
      if (kind === Page.shape.oval) {
        ctx.ellipse(left + w / 2, top + h / 2, Math.max(w / 2, 0), Math.max(h / 2, 0), 0, 0, 2 * Math.PI);
      } else if (kind === Page.shape.roundedRectangle) {
        ctx.moveTo(left + r, top);
        ctx.arcTo(left + w, top, left + w, top + h, r);
        ctx.arcTo(left + w, top + h, left, top + h, r);
        ctx.arcTo(left, top + h, left, top, r);
        ctx.arcTo(left, top, left + w, top, r);
        ctx.closePath();
      } else {
        ctx.rect(left, top, w, h);
      }
    };
    var inset = ink >= 0 ? 1 : 0;
    if (fill >= 0) {
      ctx.fillStyle = Page.colour(fill);
      if (kind === Page.shape.rectangle) ctx.fillRect(x, y, width, height);
      else {
        path(x, y, width - inset, height - inset);
        ctx.fill();
      }
    }
    if (ink >= 0) {
      var half = Page.spare(pen);
      ctx.strokeStyle = Page.colour(ink);
      ctx.lineWidth = pen;
      path(x + half, y + half, width - 1, height - 1);
      ctx.stroke();
    }
  },

  page_line__deps: ['$Page'],
  page_line: function(x1, y1, x2, y2, ink, pen) {
    var ctx = Page.ctx;
    var half = Page.spare(pen);
    ctx.strokeStyle = Page.colour(ink);
    ctx.lineWidth = pen;
    ctx.lineCap = pen > 1 ? 'round' : 'butt';
    ctx.beginPath();
    ctx.moveTo(x1 + half, y1 + half);
    ctx.lineTo(x2 + half, y2 + half);
    ctx.stroke();
  },

  page_text__deps: ['$Page'],
  page_text: function(x, y, width, height, text, length, pixels, bold, align, ink) {
    var ctx = Page.ctx;
    ctx.save();
    ctx.beginPath();
    ctx.rect(x, y, width, height);
    ctx.clip();
    // The game's own copy of DejaVu Sans Condensed, under a name of the
    // game's own, so no font the machine has stands in for it.
    var font = (bold ? 'bold ' : '') + pixels + 'px "Diamond Text"';
    ctx.font = font;
    ctx.fillStyle = Page.colour(ink);
    // The font's own ascent and descent (1901 and 483 of its 2048 units a
    // size), each rounded to whole pixels as the desktop rounds them; the
    // engines each round the box they report in a way of their own.
    var ascent = Math.round(pixels * 1901 / 2048), lineHeight = ascent + Math.round(pixels * 483 / 2048);
    Page.wrap(ctx, UTF8ToString(text, length), width).forEach(function(line, i) {
      // Only a right-aligned or centred line needs measuring.
      var left = x;
      if (align !== Page.align.left) {
        var lineWidth = ctx.measureText(line).width;
        left = align === Page.align.right ? x + width - lineWidth : x + Math.round((width - lineWidth) / 2);
      }
      ctx.fillText(line, left, y + ascent + i * lineHeight);
    });
    ctx.restore();
  },
});
