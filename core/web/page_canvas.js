// The web platform's canvas: the drawing pass's calls on a window's canvas
// 2D, in client pixels (core/web/web_render.cpp). The pass has decided what
// to draw; this only turns it into the canvas's own terms.
mergeInto(LibraryManager.library, {
  $PageCanvas: {
    // Named as PageShape in core/web/page.h, and as LineCap and LineJoin in
    // core/forms/draw.h.
    shape: {rectangle: 0, roundedRectangle: 1, oval: 2},
    caps: ['butt', 'square', 'round'],
    joins: ['miter', 'round'],
    measurer: null,
    colour: function(rgb) {
      return '#' + ('00000' + rgb.toString(16)).slice(-6);
    },
    // The game's own copy of its face, under the page's name for it.
    font: function(pixels, bold) {
      return (bold ? 'bold ' : '') + pixels + 'px "' + Page.face + '"';
    },
    // How far right and down a pen's path moves, in client pixels, to cover
    // the device pixels the desktop's pen covers: a pen even in device
    // pixels spreads evenly about its line, and an odd one's spare pixel
    // falls right of and below it, so it runs through pixel centres.
    spare: function(pen) {
      return Math.round(pen * Page.scale) % 2 ? 0.5 / Page.scale : 0;
    },
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

  page_fill_rect__deps: ['$Page', '$PageCanvas'],
  page_fill_rect: function(x, y, width, height, rgb) {
    Page.ctx.fillStyle = PageCanvas.colour(rgb);
    Page.ctx.fillRect(x, y, width, height);
  },

  page_pen__deps: ['$Page', '$PageCanvas'],
  page_pen: function(ink, width, cap, join) {
    var ctx = Page.ctx;
    ctx.strokeStyle = PageCanvas.colour(ink);
    ctx.lineWidth = width;
    ctx.lineCap = PageCanvas.caps[cap];
    ctx.lineJoin = PageCanvas.joins[join];
  },

  // A shape without an outline fills its pixels; an outlined one is filled
  // inside its outline, and the pen runs along the outline.
  page_shape__deps: ['$Page', '$PageCanvas'],
  page_shape: function(kind, x, y, width, height, ox, oy, ow, oh, fill, ink, r) {
    var ctx = Page.ctx;
    var path = function(left, top, w, h) {
      ctx.beginPath();
      if (kind === PageCanvas.shape.oval) {
        ctx.ellipse(left + w / 2, top + h / 2, Math.max(w / 2, 0), Math.max(h / 2, 0), 0, 0, 2 * Math.PI);
      } else if (kind === PageCanvas.shape.roundedRectangle) {
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
      ctx.fillStyle = PageCanvas.colour(fill);
      if (kind === PageCanvas.shape.rectangle) ctx.fillRect(x, y, width, height);
      else {
        if (ink >= 0) path(ox, oy, ow, oh);
        else path(x, y, width, height);
        ctx.fill();
      }
    }
    if (ink >= 0) {
      var half = PageCanvas.spare(ctx.lineWidth);
      path(ox + half, oy + half, ow, oh);
      ctx.stroke();
    }
  },

  page_line__deps: ['$Page', '$PageCanvas'],
  page_line: function(x1, y1, x2, y2) {
    var ctx = Page.ctx;
    var half = PageCanvas.spare(ctx.lineWidth);
    ctx.beginPath();
    ctx.moveTo(x1 + half, y1 + half);
    ctx.lineTo(x2 + half, y2 + half);
    ctx.stroke();
  },

  page_text_width__deps: ['$Page', '$PageCanvas'],
  page_text_width: function(text, length, pixels, bold) {
    if (!PageCanvas.measurer) PageCanvas.measurer = document.createElement('canvas').getContext('2d');
    PageCanvas.measurer.font = PageCanvas.font(pixels, bold);
    return PageCanvas.measurer.measureText(UTF8ToString(text, length)).width;
  },

  page_text__deps: ['$Page', '$PageCanvas'],
  page_text: function(x, baseline, text, length, pixels, bold, ink, cx, cy, cw, ch) {
    var ctx = Page.ctx;
    ctx.save();
    ctx.beginPath();
    ctx.rect(cx, cy, cw, ch);
    ctx.clip();
    ctx.font = PageCanvas.font(pixels, bold);
    ctx.fillStyle = PageCanvas.colour(ink);
    ctx.fillText(UTF8ToString(text, length), x, baseline);
    ctx.restore();
  },
});
