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
    painting: false,
    windows: {},  // window id: {box, canvas, width, height}
    stack: 0,
    scale: 1,
    relayoutPending: false,
    // Sees every change of a canvas's size in device pixels.
    watcher: null,
    ctx: null,
    framed: false,
    fonts: {},  // CSS font: its ascent and line height, measured once

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
    // The classic virtual-key codes: keypad digits only with Num Lock on
    // (the browser then reports a digit); with it off the keypad gives
    // navigation keys, which keep their own codes.
    keyCode: function(e) {
      var navigation = {PageUp: 33, PageDown: 34, End: 35, Home: 36, ArrowLeft: 37, ArrowUp: 38,
                        ArrowRight: 39, ArrowDown: 40, Insert: 45, Delete: 46, Clear: 12};
      var code = e.code;
      if (/^Numpad[0-9]$/.test(code)) return /^[0-9]$/.test(e.key) ? 96 + Number(e.key) : (navigation[e.key] || 0);
      if (code === 'Space') return 32;
      if (code === 'ShiftLeft' || code === 'ShiftRight') return 16;
      if (code === 'ControlLeft' || code === 'ControlRight') return 17;
      if (code === 'AltLeft' || code === 'AltRight') return 18;
      if (/^Key[A-Z]$/.test(code)) return code.charCodeAt(3);
      if (/^Digit[0-9]$/.test(code)) return code.charCodeAt(5);
      if (/^F([1-9]|1[0-9]|2[0-4])$/.test(code)) return 111 + Number(code.slice(1));
      var others = {Backspace: 8, Tab: 9, Enter: 13, NumpadEnter: 13, Escape: 27};
      return others[code] || navigation[e.key] || 0;
    },
    takenKeys: [16, 32, 103, 104, 105],

    // Boxes sit centred in the page on whole device pixels, so canvases
    // stay sharp; canvases are backed at the device pixel ratio.
    layout: function() {
      var scale = window.devicePixelRatio || 1;
      var rescaled = scale !== Page.scale;
      Page.scale = scale;
      for (var id in Page.windows) {
        var w = Page.windows[id];
        if (rescaled) {
          w.canvas.width = Math.round(w.width * scale);
          w.canvas.height = Math.round(w.height * scale);
        }
        var outerWidth = w.box.offsetWidth || w.width, outerHeight = w.box.offsetHeight || w.height;
        w.box.style.left = Math.round((window.innerWidth - outerWidth) / 2 * scale) / scale + 'px';
        w.box.style.top = Math.round((window.innerHeight - outerHeight) / 2 * scale) / scale + 'px';
      }
      if (rescaled) Page.push([5]);
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
  page_init: function() {
    Page.channel = new MessageChannel();
    // A wait shorter than the browser's clamp on nested timeouts (4 ms)
    // starts its timeout from a message, where no clamp applies.
    Page.channel.port1.onmessage = function(message) {
      if (message.data.wait !== Page.waits || !Page.wakeUp) return;
      if (message.data.ms > 0) Page.timeout = setTimeout(Page.resume, message.data.ms);
      else Page.resume();
    };
    window.addEventListener('keydown', function(e) {
      if (document.querySelector('dialog[open]')) return;  // the box has the keyboard
      var code = Page.keyCode(e);
      if (Page.takenKeys.indexOf(code) >= 0) e.preventDefault();
      if (code) Page.push([1, code]);
    });
    window.addEventListener('resize', Page.relayout);
    Page.scale = window.devicePixelRatio || 1;
    Page.watcher = new ResizeObserver(Page.relayout);
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
      if (ms >= 4) Page.timeout = setTimeout(Page.resume, ms);
      else if (ms >= 0) Page.channel.port2.postMessage({wait: wait, ms: ms});
    });
  },

  page_show_form__deps: ['$Page'],
  page_show_form: function(id, width, height, thin, takesKeys, caption, captionLength) {
    var w = Page.windows[id];
    if (!w) {
      var box = document.createElement('div');
      box.className = thin ? 'window thin' : 'window';
      var canvas = document.createElement('canvas');
      canvas.style.width = width + 'px';
      canvas.style.height = height + 'px';
      canvas.width = Math.round(width * Page.scale);
      canvas.height = Math.round(height * Page.scale);
      box.appendChild(canvas);
      document.getElementById('desk').appendChild(box);
      Page.watcher.observe(canvas, {box: 'device-pixel-content-box'});
      w = Page.windows[id] = {box: box, canvas: canvas, width: width, height: height,
                              ctx: canvas.getContext('2d', {alpha: false})};
      canvas.addEventListener('mouseup', function(e) {
        if (e.button !== 0) return;
        var r = canvas.getBoundingClientRect();
        var x = e.clientX - r.left, y = e.clientY - r.top;
        if (x < 0 || y < 0 || x >= width || y >= height) return;
        Page.push([2, id, x * 15, y * 15]);
      });
      if (takesKeys && captionLength > 0) document.title = UTF8ToString(caption, captionLength);
    }
    w.box.hidden = false;
    w.box.style.zIndex = ++Page.stack;
    Page.layout();
  },

  page_hide_form__deps: ['$Page'],
  page_hide_form: function(id) {
    if (Page.windows[id]) Page.windows[id].box.hidden = true;
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
      Page.push([3, id]);
    });
    dialog.showModal();
    ok.focus();
  },

  page_request_paint__deps: ['$Page'],
  page_request_paint: function() {
    if (Page.painting) return;
    Page.painting = true;
    requestAnimationFrame(function() {
      Page.painting = false;
      Page.push([4]);
    });
  },

  page_begin_paint__deps: ['$Page'],
  page_begin_paint: function(id, x, y, width, height) {
    var ctx = Page.windows[id].ctx;
    ctx.save();
    ctx.setTransform(Page.scale, 0, 0, Page.scale, 0, 0);
    ctx.beginPath();
    ctx.rect(x, y, width, height);
    ctx.clip();
    Page.ctx = ctx;
  },

  page_end_paint__deps: ['$Page'],
  page_end_paint: function() {
    Page.ctx.restore();
    if (!Page.framed) {
      Page.framed = true;
      performance.mark('diamond-first-frame');
    }
  },

  page_fill_rect__deps: ['$Page'],
  page_fill_rect: function(x, y, width, height, rgb) {
    Page.ctx.fillStyle = Page.colour(rgb);
    Page.ctx.fillRect(x, y, width, height);
  },

  // An outline lies on the shape's outermost pixels, as on the desktop.
  page_shape__deps: ['$Page'],
  page_shape: function(kind, x, y, width, height, fill, ink, pen) {
    var ctx = Page.ctx;
    var path = function(inset) {
      var left = x + inset, top = y + inset, w = width - 2 * inset, h = height - 2 * inset;
      ctx.beginPath();
      if (kind === 2) {
        ctx.ellipse(left + w / 2, top + h / 2, Math.max(w / 2, 0), Math.max(h / 2, 0), 0, 0, 2 * Math.PI);
      } else if (kind === 1) {
        var r = Math.min(width, height) / 6;
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
    if (fill >= 0) {
      ctx.fillStyle = Page.colour(fill);
      if (kind === 0) ctx.fillRect(x, y, width, height);
      else {
        path(0);
        ctx.fill();
      }
    }
    if (ink >= 0) {
      ctx.strokeStyle = Page.colour(ink);
      ctx.lineWidth = pen;
      path(pen / 2);
      ctx.stroke();
    }
  },

  page_line__deps: ['$Page'],
  page_line: function(x1, y1, x2, y2, ink, pen) {
    var ctx = Page.ctx;
    // A line of odd width runs through pixel centres, so it stays sharp.
    var half = pen % 2 ? 0.5 : 0;
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
    var font = (bold ? 'bold ' : '') + pixels + 'px "DejaVu Sans Condensed"';
    ctx.font = font;
    ctx.fillStyle = Page.colour(ink);
    var metrics = Page.fonts[font];
    if (!metrics) {
      var box = ctx.measureText('Mg');
      var ascent = Math.round(box.fontBoundingBoxAscent);
      metrics = Page.fonts[font] = {ascent: ascent, line: ascent + Math.round(box.fontBoundingBoxDescent)};
    }
    var ascent = metrics.ascent, lineHeight = metrics.line;
    Page.wrap(ctx, UTF8ToString(text, length), width).forEach(function(line, i) {
      var lineWidth = ctx.measureText(line).width;
      var left = align === 1 ? x + width - lineWidth : align === 2 ? x + Math.round((width - lineWidth) / 2) : x;
      ctx.fillText(line, left, y + ascent + i * lineHeight);
    });
    ctx.restore();
  },
});
