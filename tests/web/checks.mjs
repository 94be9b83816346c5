// What the browser tests share: the game's colours, reporting, where a
// window lies, and a probe of the pitch screen's call.
export const FIELD = '#008000', WHITE = '#FFFFFF', MOUND = '#C04000', BOX = '#C0C000', BAT = '#C0C0C0',
  BROWN = '#804000';

// ok, fail and skip lines, and the closing count that ctest's log shows. A
// test is a run of named scenes: a failure names the scene it broke in.
export function checker(engine) {
  let passed = 0, skipped = 0, current = '';
  const ok = (what) => {
    console.log(`ok: ${what}`);
    passed += 1;
  };
  const fail = (what) => {
    console.log(`FAIL in ${engine}${current ? `, scene "${current}"` : ''}: ${what}`);
    process.exit(1);
  };
  // A wait that times out, or a driver that gives up, fails the test with
  // what it waited for.
  process.on('uncaughtException', (error) => fail(error.message.split('\n')[0]));
  process.on('unhandledRejection', (error) => fail(String(error && error.message || error).split('\n')[0]));
  return {
    ok, fail,
    check: (condition, what) => condition || fail(what),
    scene: async (name, body) => {
      current = name;
      await body();
      current = '';
    },
    skip: (what, why) => {
      console.log(`skipped in ${engine}: ${what}: ${why}`);
      skipped += 1;
    },
    done: () => {
      console.log(`${passed} passed, 0 failed${skipped ? `, ${skipped} skipped` : ''}`);
      process.exit(0);
    },
  };
}

// The game's windows, by their sizes in client pixels.
export const SIZES = {pitch: [402, 350], hit: [337, 459], stats: [302, 102]};

// Where a shown window's canvas lies in the viewport, in CSS pixels, and
// the CSS pixels per client pixel it is drawn at; null when not shown.
export function place(tab, name) {
  const [width, height] = SIZES[name];
  return tab.evaluate(([width, height]) => {
    for (const canvas of document.querySelectorAll('canvas')) {
      const box = canvas.getBoundingClientRect();
      const fit = box.width / width;
      if (Math.abs(box.height - height * fit) < 1 && canvas.width === Math.round(width * fit * devicePixelRatio) &&
          !canvas.parentElement.hidden)
        return {x: box.x, y: box.y, width: box.width, height: box.height, fit};
    }
    return null;
  }, [width, height]);
}

// In the page: stamps the next event of a type with its own time, taken as
// the event happened (window.stampedAt), before the page's own listeners
// see it. A test times from it, never from a round trip of its driver.
export function stampNext(type) {
  window.stampedAt = 0;
  addEventListener(type, (e) => { window.stampedAt = e.timeStamp; }, {capture: true, once: true});
}

// In the page, from what the page draws on the pitch screen's canvas (a
// read-back of the canvas on every frame would stall WebKit's): where the
// ball was last drawn, whether the call label last showed text, and when a
// call was first drawn.
export const watchCall = (tab) =>
  tab.evaluate(() => {
    const pitch = document.querySelector('canvas');
    const scale = () => pitch.width / 402;
    // The call label's rectangle, twips 2400, 2040, 1215, 375, in client pixels.
    const inLabel = (x, y) => x >= 160 && x < 241 && y >= 136 && y < 161;
    window.callShownAt = 0;
    window.ballLeft = false;
    window.ballOnMound = true;
    window.labelText = false;
    const update = () => {
      window.callShown = window.labelText && window.ballOnMound;
      if (window.callShown && !window.callShownAt) window.callShownAt = performance.now();
      if (!window.callShown) window.callShownAt = 0;
    };
    if (window.watching) return update();
    window.watching = true;
    const proto = CanvasRenderingContext2D.prototype;
    const {fillRect, fillText, ellipse} = proto;
    const client = (ctx, x, y) => {
      const m = ctx.getTransform();
      return [(m.a * x + m.e) / scale(), (m.d * y + m.f) / scale()];
    };
    proto.fillRect = function (x, y, w, h) {
      if (this.canvas === pitch) {
        // A fill over the label's middle paints over its caption.
        const [x0, y0] = client(this, x, y), [x1, y1] = client(this, x + w, y + h);
        if (x0 <= 200 && x1 >= 201 && y0 <= 148 && y1 >= 149) window.labelText = false;
        update();
      }
      return fillRect.call(this, x, y, w, h);
    };
    proto.fillText = function (text, x, y, ...rest) {
      if (this.canvas === pitch) {
        const [cx, cy] = client(this, x, y - 4);
        if (inLabel(cx, cy) && text) window.labelText = true;
        update();
      }
      return fillText.call(this, text, x, y, ...rest);
    };
    // The ball is the only small circle: at home its centre is at 200.5, 40.5.
    proto.ellipse = function (x, y, rx, ry, ...rest) {
      if (this.canvas === pitch && rx < 12 && Math.abs(rx - ry) < 0.01) {
        const [cx, cy] = client(this, x, y);
        window.ballOnMound = Math.abs(cx - 200) < 2 && Math.abs(cy - 40) < 2;
        if (!window.ballOnMound && !window.ballLeft) window.ballLeftAt = performance.now();
        window.ballLeft ||= !window.ballOnMound;
        // How far the ball strayed sideways: a straight pitch keeps its line.
        window.ballStray = Math.max(window.ballStray || 0, Math.abs(cx - 200.5));
        update();
      }
      // The swung bat lies flat, 1455 by 135 twips, and stands again after.
      if (this.canvas === pitch && rx > 45 && ry < 6 && !window.batOut)
        Object.assign(window, {batOut: true, batOutAt: performance.now(), batBackAt: 0});
      if (this.canvas === pitch && rx < 6 && ry > 45 && window.batOut && !window.batBackAt)
        window.batBackAt = performance.now();
      return ellipse.call(this, x, y, rx, ry, ...rest);
    };
  });
