// The game's site played in one browser engine with real key and mouse
// events; what it shows is read from screenshots at layout points. A check
// that an engine or its driver cannot run says so by name.
// Usage: node site_test.mjs chromium|firefox|webkit SITE_DIR
import {execFileSync} from 'node:child_process';
import {appendFileSync, cpSync, mkdtempSync, readFileSync, rmSync, writeFileSync} from 'node:fs';
import {createServer} from 'node:http';
import {tmpdir} from 'node:os';
import {dirname, join} from 'node:path';
import {fileURLToPath} from 'node:url';

import {openTab} from './browsers.mjs';
import {serve} from '../../app/web/server/serve.mjs';
import {BAT, BOX, BROWN, FIELD, MOUND, WHITE, checker, place, stampNext, watchCall} from './checks.mjs';

const [engine, site] = process.argv.slice(2);
const SOURCE = join(dirname(fileURLToPath(import.meta.url)), '../..');
const {ok, fail, check, skip, scene, done} = checker(engine);

const server = await serve(site);
const origin = `http://127.0.0.1:${server.address().port}`;
const tabs = [];
process.on('exit', () => server.close());

async function open(options) {
  const tab = await openTab(engine, options);
  tabs.push(tab);
  await tab.goto(`${origin}/`);
  (await tab.poll(() => performance.getEntriesByName('diamond-first-frame').length > 0, 10000)) ||
    fail(`the game was not drawn: "${await tab.evaluate(() => document.getElementById('problem').textContent)}"`);
  return tab;
}
const waitFor = async (tab, test, what, timeout = 3000) =>
  (await tab.poll(test, timeout)) || fail(`timed out waiting until ${what}`);
const shown = async (tab, name) => (await place(tab, name)) !== null;

// The colour at a point of a window, given in twips of its client area.
async function colourAt(tab, name, x, y, image) {
  const at = await place(tab, name);
  image = image || (await tab.screenshot());
  const scale = image.width / (await tab.evaluate(() => innerWidth));
  return image.at(Math.floor((at.x + x * at.fit / 15) * scale), Math.floor((at.y + y * at.fit / 15) * scale));
}
async function click(tab, name, x, y) {
  const at = await place(tab, name);
  await tab.click(at.x + x * at.fit / 15, at.y + y * at.fit / 15);
}

// In the page: the pitch screen's labels as drawn on its canvas (each a
// string of its pixels), called strikes, and a hit followed at once by the
// strikes to the fifth out, all timed in the page by keys it dispatches.
function installBoxProbe() {
  const pitch = document.querySelector('canvas');
  const hitView = () => [...document.querySelectorAll('canvas')].find(
    (c) => c.width === Math.round(337 * devicePixelRatio) && !c.parentElement.hidden);
  const dialog = () => document.querySelector('dialog[open]');
  const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
  const until = async (test, ms = 3000) => {
    for (const end = performance.now() + ms; !test() && performance.now() < end;) await sleep(2);
    return test();
  };
  const press = (code, key) => dispatchEvent(new KeyboardEvent('keydown', {code, key}));
  // Every paint of the flying ball fills the patches it covers.
  let hitFills = 0;
  const fill = CanvasRenderingContext2D.prototype.fillRect;
  CanvasRenderingContext2D.prototype.fillRect = function (...args) {
    if (this.canvas === hitView()) hitFills += 1;
    return fill.apply(this, args);
  };
  const strike = async () => {
    press('Numpad8', '8');
    await until(() => !window.ballOnMound || dialog());
    return until(() => window.callShown || dialog());
  };
  window.boxProbe = {
    // Player 1's and 2's roles, the outs and the inning, in client pixels.
    labels: () => {
      const s = pitch.width / 402;
      const read = ([x, y, w, h]) => pitch.getContext('2d').getImageData(
        Math.round(x * s), Math.round(y * s), Math.round(w * s), Math.round(h * s)).data.join();
      return {play1: read([64, 8, 73, 17]), play2: read([64, 32, 73, 17]), outs: read([352, 88, 33, 17]),
              inning: read([296, 8, 57, 17])};
    },
    strikes: async (n) => {
      for (let i = 0; i < n; ++i) await strike();
    },
    hitThenFifthOut: async () => {
      for (let tries = 0; tries < 2 && !hitView(); ++tries) {
        press('Numpad8', '8');
        await sleep(360);
        press('Space', ' ');
        await until(hitView, 1500);
      }
      if (!hitView()) return {hit: false};
      const opened = performance.now();
      for (let i = 0; i < 3 && !dialog(); ++i) await strike();
      if (!dialog()) return {hit: true, box: false};
      const at = (performance.now() - opened) / 1000, labels = window.boxProbe.labels(), before = hitFills;
      await sleep(250);
      return {hit: true, box: !!dialog(), at, labels, fills: hitFills - before};
    },
  };
}

try {
  const tab = await open();

  // The layout, from a screenshot.
  await scene('layout', async () => {
    const image = await tab.screenshot();
    const points = [[600, 2500, FIELD], [3000, 615, WHITE], [2550, 615, MOUND], [3000, 4000, WHITE],
                    [1800, 4300, BOX], [4200, 4300, BOX], [2227, 4400, BAT]];
    for (const [x, y, colour] of points) {
      const seen = await colourAt(tab, 'pitch', x, y, image);
      check(seen === colour, `the pitch screen at ${x},${y} is ${seen}, not ${colour}`);
    }
    const at = await place(tab, 'pitch');
    const [width, height] = await tab.evaluate(() => [innerWidth, innerHeight]);
    check(at.fit === 1 && Math.abs(at.x + 201 - width / 2) <= 1 && Math.abs(at.y + 175 - height / 2) <= 1,
          `the pitch screen is not centred at full size: ${JSON.stringify(at)} in ${width}x${height}`);
    const title = await tab.evaluate(() => document.title);
    check(title === 'Diamond', `the page's title is ${title}`);
    check(await tab.evaluate(() => document.getElementById('pads').hidden), 'a mouse page shows the touch controls');
    ok('the pitch screen is centred at full size, titled "Diamond", shows its field, mound, ball, plate, boxes ' +
       'and bat, and no touch controls');
  });

  await watchCall(tab);

  // Keypad 8 with Num Lock off is a navigation key.
  await scene('keypad 8 with Num Lock off', async () => {
    await tab.evaluate(() => (window.ballLeft = false));
    await tab.key('Numpad8Unlocked');
    await tab.sleep(1000);
    check(await tab.evaluate(() => !window.ballLeft), 'keypad 8 with Num Lock off threw a pitch');
    ok('keypad 8 with Num Lock off does nothing');
  });

  // A straight pitch reaches the plate in about 0.69 s and is called.
  await scene('a straight pitch is called', async () => {
    // Both times are the page's own: the key's event and the call's drawing.
    await tab.evaluate(stampNext, 'keydown');
    await tab.key('Numpad8');
    await waitFor(tab, () => window.callShown, 'the pitch was called');
    const seconds = (await tab.evaluate(() => window.callShownAt - window.stampedAt)) / 1000;
    check(seconds > 0.6 && seconds < 0.85, `the strike was called after ${seconds.toFixed(3)} s`);
    ok(`keypad 8 threw a strike, called after ${seconds.toFixed(3)} s`);
  });

  // A timed swing hits; the hit view flies for about 3.1 s and a click after
  // the landing closes it.
  await scene('a timed swing hits and the hit view flies', async () => {
    // When the hit view opened and when the page last painted it: every
    // paint of a form starts by filling its dirty part with the background.
    // (Reading the canvas back on every frame would stall WebKit.)
    await tab.evaluate(() => {
      window.hitOpenedAt = 0;
      const fill = CanvasRenderingContext2D.prototype.fillRect;
      CanvasRenderingContext2D.prototype.fillRect = function (...args) {
        if (this.canvas.width === Math.round(337 * devicePixelRatio)) {
          window.hitChangedAt = performance.now();
          window.hitOpenedAt ||= window.hitChangedAt;
        }
        return fill.apply(this, args);
      };
    });
    let tries = 0;
    while (!(await shown(tab, 'hit')) && tries < 10) {
      tries += 1;
      await tab.key('Numpad8');
      await tab.sleep(360);
      await tab.key('Space');
      await tab.sleep(900);
    }
    check(await shown(tab, 'hit'), 'ten timed swings did not open the hit view');
    await click(tab, 'hit', 2500, 5000);  // in flight: ignored
    await waitFor(tab, () => performance.now() - window.hitChangedAt > 1000, 'the hit landed', 6000);
    const landed = await tab.evaluate(() => (window.hitChangedAt - window.hitOpenedAt) / 1000);
    // 200 moves at 64 a second is 3.125 s. A tick the page cannot run in
    // time merges with the next (never a burst), so a flight is never
    // shorter, and on a machine that is busy besides it is longer by a tick
    // for each one merged: with every core busy WebKit's page merged 19 of
    // them (3.42 s), so the bound allows 30.
    check(landed > 2.8 && landed < 3.6, `the hit flew for ${landed.toFixed(2)} s`);
    check(await shown(tab, 'hit'), 'a click in flight closed the hit view');
    await click(tab, 'hit', 2500, 5000);
    await tab.sleep(300);
    check(!(await shown(tab, 'hit')), 'a click after the landing did not close the hit view');
    ok(`a timed Space hit (try ${tries}); the ball flew for ${landed.toFixed(2)} s and a click closed the hit view`);

    await tab.key('Numpad8');
    await waitFor(tab, () => !window.ballOnMound, 'the ball left the mound', 1000);
    await waitFor(tab, () => window.callShown, 'the pitch was called');
    ok('the pitcher throws again without a click on the page');
  });

  // The right Shift swings: the bat goes out for a tenth of a second.
  await scene('the right Shift swings', async () => {
    await tab.evaluate(() => (window.batOut = false));
    await tab.key('ShiftRight');
    await waitFor(tab, () => window.batOut, 'the right Shift swung the bat', 1000);
    await tab.sleep(300);
    ok('the right Shift swings');
  });

  // View Stats opens the statistics; a click closes them.
  await scene('View Stats', async () => {
    await click(tab, 'pitch', 5100, 4700);
    await waitFor(tab, () => [...document.querySelectorAll('canvas')].some(
      (c) => c.width === Math.round(302 * devicePixelRatio) && !c.parentElement.hidden), 'the stats window opened', 2000);
    await tab.sleep(100);
    check(await colourAt(tab, 'stats', 60, 60) === BROWN, 'the stats window is not brown');
    await click(tab, 'stats', 2000, 700);
    await tab.sleep(300);
    check(!(await shown(tab, 'stats')), 'a click did not close the stats window');
    ok('View Stats opened the statistics window and a click closed it');
  });

  // Fifteen strikes make five outs: the sides switch behind a modal dialog,
  // which Enter dismisses.
  await scene('fifteen strikes open the box', async () => {
    let dialog = false;
    for (let strike = 0; strike < 15 && !dialog; ++strike) {
      await tab.key('Numpad8');
      await waitFor(tab, () => !window.callShown, 'the call was hidden', 1000);
      await waitFor(tab, () => window.callShown || document.querySelector('dialog[open]'), 'the pitch was called');
      dialog = await tab.evaluate(() => !!document.querySelector('dialog[open]'));
    }
    check(dialog, 'fifteen strikes did not open the dialog');
    const box = await tab.evaluate(() => {
      const d = document.querySelector('dialog[open]');
      return {title: d.querySelector('h1').textContent, prompt: d.querySelector('p').textContent,
              focused: document.activeElement.textContent};
    });
    check(box.title === 'Switch Positions' && box.prompt === 'Switch Positions.' && box.focused === 'OK',
          `the dialog reads ${JSON.stringify(box)}`);
    // The dialog has the keyboard: a pitch key would hide the call.
    await tab.key('Numpad8');
    await tab.sleep(300);
    check(await tab.evaluate(() => window.callShown), 'a pitch key got past the dialog');
    await tab.key('Enter');
    await waitFor(tab, () => !document.querySelector('dialog[open]'), 'the dialog closed', 1000);
    ok('fifteen strikes opened the "Switch Positions" dialog, which kept the keys and closed on Enter');
  });

  // While the box is up the game waits for OK, and nothing else does: the
  // screen shows the roles already swapped, the outs still 4 and the inning
  // unchanged, and a hit ball still in flight flies on under the box. After
  // OK the outs and the inning change. In a page of its own, from the start
  // of a game; the hit and the strikes are timed in the page.
  await scene('the box holds the game, not the ball in flight', async () => {
    const game = await open();
    await watchCall(game);
    await game.evaluate(installBoxProbe);
    const start = await game.evaluate(() => window.boxProbe.labels());
    await game.evaluate(() => window.boxProbe.strikes(12));
    const fourOuts = await game.evaluate(() => window.boxProbe.labels());
    const seen = await game.evaluate(() => window.boxProbe.hitThenFifthOut());
    check(seen.hit, 'two swings timed in the page did not hit');
    check(seen.box, `the box did not open while the ball flew (${JSON.stringify(seen)})`);
    const {labels} = seen;
    check(labels.play1 === start.play2 && labels.play2 === start.play1, 'under the box the roles are not swapped');
    check(labels.outs === fourOuts.outs, 'under the box the outs no longer read 4');
    check(labels.inning === fourOuts.inning, 'under the box the inning has changed');
    check(seen.fills >= 8, `under the box the hit view's canvas was filled ${seen.fills} times in 250 ms`);
    await game.key('Enter');
    await waitFor(game, () => !document.querySelector('dialog[open]'), 'the box closed', 1000);
    await game.sleep(200);
    const after = await game.evaluate(() => window.boxProbe.labels());
    check(after.outs !== fourOuts.outs && after.inning !== fourOuts.inning, 'after OK the outs and the inning stand');
    ok(`under the box (opened ${seen.at.toFixed(2)} s into the flight) the roles are swapped, the outs read 4, ` +
       `the inning stands and the hit view's canvas was filled ${seen.fills} times in 250 ms; after OK the count moved on`);
  });

  // With nothing moving the page schedules nothing: no frame, timeout or
  // message in a second.
  await scene('idle schedules nothing', async () => {
    await tab.sleep(300);
    const scheduled = await tab.evaluate(() => new Promise((resolve) => {
      const counts = {frames: 0, timeouts: 0, messages: 0};
      const {requestAnimationFrame: frame, setTimeout: timeout} = window;
      const post = MessagePort.prototype.postMessage;
      timeout(() => {
        window.requestAnimationFrame = (f) => (counts.frames += 1, frame(f));
        window.setTimeout = (f, ms) => (counts.timeouts += 1, timeout(f, ms));
        MessagePort.prototype.postMessage = function (m) { counts.messages += 1; return post.call(this, m); };
        timeout(() => {
          Object.assign(window, {requestAnimationFrame: frame, setTimeout: timeout});
          MessagePort.prototype.postMessage = post;
          resolve(counts);
        }, 1000);
      }, 100);
    }));
    check(scheduled.frames + scheduled.timeouts + scheduled.messages === 0,
          `idle, the page scheduled ${JSON.stringify(scheduled)} in a second`);
    ok('with nothing moving the page schedules nothing');
  });

  // A moving ball paints one patch a tick: the two rectangles each move
  // marks (where the ball was, where it is) overlap and merge. Recorded in
  // the page, as it paints: each patch starts with a transform and a clip
  // to its rectangle, and a pass is all that one wake-up of the program
  // paints.
  await scene('one patch a tick', async () => {
    if (engine === 'chromium') {
      await tab.evaluate(() => {
        const proto = CanvasRenderingContext2D.prototype;
        const saved = {setTransform: proto.setTransform, rect: proto.rect, clip: proto.clip};
        const pitch = document.querySelector('canvas');
        const record = window.patches = {passes: [], frames: [], saved};
        let opening = false, last = null, pass = null, frame = null;
        proto.setTransform = function (...args) {
          opening = true;
          return saved.setTransform.apply(this, args);
        };
        proto.rect = function (...args) {
          last = args;
          return saved.rect.apply(this, args);
        };
        // Until 0.45 s after the ball left the mound: in flight, short of the call.
        const flying = () => !window.ballLeftAt || performance.now() - window.ballLeftAt < 450;
        proto.clip = function (...args) {
          if (opening && last && this.canvas === pitch && flying()) {
            const [x, y, width, height] = last;
            if (!pass) {
              // Passes from the ball's second move on: the key's pass hides the
              // last call, the first move's finds the ball still at home.
              pass = [];
              if (window.ballLeft) record.passes.push(pass);
              queueMicrotask(() => (pass = null));
            }
            if (!frame) {
              record.frames.push(frame = []);
              requestAnimationFrame(() => (frame = null));
            }
            pass.push({x, y, width, height});
            frame.push({x, y, width, height});
          }
          opening = false;
          return saved.clip.apply(this, args);
        };
      });
      await tab.evaluate(() => { Object.assign(window, {ballLeft: false, ballLeftAt: 0}); });
      await tab.key('Numpad8');
      await waitFor(tab, () => window.callShown, 'the pitch was called');
      const {passes, frames} = await tab.evaluate(() => {
        const {passes, frames, saved} = window.patches;
        Object.assign(CanvasRenderingContext2D.prototype, saved);
        return {passes, frames};
      });
      const overlap = (a, b) => a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
      const twice = passes.filter((p) => p.some((a, i) => p.some((b, j) => i < j && overlap(a, b))));
      const area = (p) => p.width * p.height;
      const largest = Math.max(...passes.flat().map(area));
      check(passes.length >= 15, `only ${passes.length} passes painted the pitch screen in 0.45 s of flight`);
      check(!twice.length, `a pass painted pixels twice: ${JSON.stringify(twice[0])}`);
      check(passes.every((p) => p.length === 1), `the ball's move painted as ${JSON.stringify(passes.find((p) => p.length !== 1))}`);
      // The ball is 17 pixels across and moves about 7 a tick; its pen and
      // rounding add a pixel or two on every side.
      check(largest <= 24 * 30, `a patch of ${largest} pixels for the ball's move`);
      const doubled = frames.filter((f) => f.length > 1).length;
      ok(`a pitch in flight painted one patch per tick (${passes.length} passes, at most ${largest} pixels each); ` +
         `${frames.length} frames, ${doubled} of them with two ticks' patches`);
    }
  });

  // Nothing in the console, and nothing fetched from another origin.
  await scene('console and origins', async () => {
    const messages = [...tab.messages, ...(tab.pageMessages ? await tab.pageMessages() : [])];
    check(messages.length === 0, `the console shows: ${messages.join(' | ')}`);
    const fetched = await tab.evaluate(() => performance.getEntriesByType('resource').map((entry) => entry.name));
    const foreign = fetched.filter((url) => !url.startsWith(origin));
    check(fetched.length > 0 && foreign.length === 0, `requests to other origins: ${foreign.join(' ')}`);
    ok(`in play the console showed nothing${tab.pageMessages ? ' (as the page records it from its load on)' : ''} ` +
       'and nothing was fetched from another origin');
  });

  // A player without a keypad: the main row's 8 does nothing in the game,
  // and the page says once where pitches come from and offers its buttons,
  // which the mouse presses.
  await scene('no keypad', async () => {
    await watchCall(tab);
    await tab.evaluate(() => (window.ballLeft = false));
    await tab.key('Digit8');
    await tab.sleep(800);
    const seen = await tab.evaluate(() => ({
      hint: !document.getElementById('hint').hidden, pads: !document.getElementById('pads').hidden,
      ballLeft: window.ballLeft}));
    check(seen.hint && seen.pads && !seen.ballLeft, `after the main row's 8 the page shows ${JSON.stringify(seen)}`);
    const button = await tab.evaluate(() => {
      const r = document.querySelector('#pitcher [data-code="Numpad8"]').getBoundingClientRect();
      return {x: r.x + r.width / 2, y: r.y + r.height / 2};
    });
    await tab.click(button.x, button.y);
    await waitFor(tab, () => !window.ballOnMound, 'the on-screen 8 threw a pitch', 1000);
    await waitFor(tab, () => window.callShown, 'the pitch was called');
    await tab.key('Digit8');
    await tab.sleep(200);
    check(await tab.evaluate(() => document.getElementById('hint').hidden), 'the hint came back a second time');
    ok("the main row's 8 does nothing in the game; the page hints once and its 8 pitches at a click");
  });

  await scene('resize and zoom', async () => {
    if (engine !== 'webkit') {
      // Resizing and zooming keep every window centred and sharp: the
      // canvases are backed anew at the new ratio and painted again.
      const zoomed = await open({private: engine === 'chromium'});
      await click(zoomed, 'pitch', 5100, 4700);  // the statistics, over the pitch screen
      for (const [width, height, scale] of [[1600, 1000, 1], [800, 500, 2]]) {
        await zoomed.resize(width, height, scale);
        await waitFor(zoomed, `() => devicePixelRatio === ${scale} && innerWidth === ${width}`, 'the zoom took effect');
        await zoomed.sleep(300);
      }
      const boxes = await zoomed.evaluate(() => [...document.querySelectorAll('.window:not([hidden])')].map((box) => {
        const r = box.getBoundingClientRect(), canvas = box.querySelector('canvas');
        return {x: r.x + r.width / 2, y: r.y + r.height / 2, backing: canvas.width / canvas.clientWidth};
      }));
      check(boxes.length === 2 && boxes.every((b) => Math.abs(b.x - 400) <= 1 && Math.abs(b.y - 250) <= 1 && b.backing === 2),
            `after a resize and a zoom the windows are ${JSON.stringify(boxes)}`);
      const image = await zoomed.screenshot();
      const at = await place(zoomed, 'stats');
      const scale = image.width / 800;
      const row = Math.round((at.y + 3) * scale), left = Math.round(at.x * scale);
      const edge = [image.at(left - scale - 1, row), image.at(left - 1, row), image.at(left + 1, row)];
      check(edge[1] === '#000000' && edge[2] === BROWN, `the stats window's left edge reads ${edge}`);
      ok('after a resize and a zoom to 200 % the windows are centred, backed at the new ratio and sharp');
    } else {
      skip('a resize and a zoom to 200 %', 'WebKitWebDriver cannot set the device pixel ratio');
    }
  });

  // A page smaller than the game fits it whole, scaled down; nothing
  // scrolls, and Space swings without scrolling.
  await scene('a small page', async () => {
    const small = await open({width: 320, height: 300});
    const seen = await small.evaluate(() => {
      const r = document.querySelector('.window:not([hidden])').getBoundingClientRect();
      return {x: r.x, y: r.y, right: r.right, bottom: r.bottom, width: innerWidth, height: innerHeight,
              scrolls: document.documentElement.scrollHeight > innerHeight || document.documentElement.scrollWidth > innerWidth};
    });
    check(seen.x >= 0 && seen.y >= 0 && seen.right <= seen.width && seen.bottom <= seen.height && !seen.scrolls,
          `in a page of ${seen.width}x${seen.height} the pitch screen lies at ${JSON.stringify(seen)}`);
    await small.key('Space');
    await small.sleep(400);
    check(await small.evaluate(() => scrollX === 0 && scrollY === 0), 'Space scrolled the page');
    check(await colourAt(small, 'pitch', 600, 2500) === FIELD, 'the scaled pitch screen shows no field');
    ok(`a page of ${seen.width}x${seen.height} shows the whole pitch screen scaled down, and nothing scrolls`);
  });

  // At two device pixels per pixel the pitch screen covers 804 x 700 device
  // pixels, its edges sharp.
  await scene('device scale 2', async () => {
    if (engine !== 'webkit') {
      const sharp = await open({scale: 2});
      const image = await sharp.screenshot();
      const at = await place(sharp, 'pitch');
      const left = at.x * 2, top = at.y * 2;
      check(Number.isInteger(left) && Number.isInteger(top), `the pitch screen starts at ${left},${top} device pixels`);
      const inside = [image.at(left, top + 300), image.at(left + 803, top + 300), image.at(left + 300, top + 699)];
      const outside = [image.at(left - 1, top + 300), image.at(left + 804, top + 300), image.at(left + 300, top + 700)];
      check(inside.every((c) => c === FIELD) && outside.every((c) => c === '#404040'),
            `the edges are ${inside} inside and ${outside} outside`);
      ok('at device scale 2 the pitch screen covers 804x700 device pixels with sharp edges');
    } else {
      skip('the pitch screen at device scale 2', 'WebKitWebDriver cannot set the device pixel ratio');
    }
  });

  // The page is delivered with a policy that allows only its own origin and
  // its own inline script and style, by their hashes: read by value, and a
  // script from another origin, or one put into the page, is refused.
  await scene('the policy', async () => {
    const policy = await tab.evaluate(
      () => document.querySelector('meta[http-equiv="Content-Security-Policy"]')?.content);
    const hash = "'sha256-[A-Za-z0-9+/]{43}='";
    check(new RegExp(`^default-src 'self'; script-src 'self' ${hash} 'wasm-unsafe-eval'; style-src 'self' ${hash}; ` +
                     "connect-src 'self'; object-src 'none'; base-uri 'none'$").test(policy), `the page's policy is ${policy}`);
    const injected = await tab.evaluate(() => {
      const script = document.createElement('script');
      script.textContent = 'window.injectedRan = true;';
      document.head.appendChild(script);
      return !!window.injectedRan;
    });
    check(!injected, 'a script put into the page ran');
    let asked = 0;
    const other = createServer((request, response) => {
      asked += 1;
      response.writeHead(200, {'Content-Type': 'text/javascript'}).end('window.foreignRan = true;');
    });
    await new Promise((resolve) => other.listen(0, '127.0.0.1', resolve));
    const seen = await tab.evaluate((url) => new Promise((resolve) => {
      let refused = '';
      document.addEventListener('securitypolicyviolation', (e) => (refused = e.violatedDirective), {once: true});
      const script = document.createElement('script');
      script.src = url;
      script.onerror = () => setTimeout(() => resolve({refused, ran: !!window.foreignRan}), 100);
      script.onload = () => resolve({refused, ran: !!window.foreignRan});
      document.head.appendChild(script);
    }), `http://localhost:${other.address().port}/foreign.js`);
    other.close();
    check(seen.refused.startsWith('script-src') && !seen.ran && asked === 0,
          `a script from another origin: ${JSON.stringify(seen)}, asked ${asked} times`);
    ok('the page allows only its own origin and its own inline script: a script from another origin is refused ' +
       'before it is fetched, and one put into the page does not run');
  });

  // A player who installed one build gets the next: served one after the
  // other from the same origin, the second build's worker takes over at the
  // next start, the page offers a reload into it, and the first build's
  // cache is gone.
  await scene('an update', async () => {
    const build = (marker) => {
      const folder = mkdtempSync(join(tmpdir(), 'diamond-build-'));
      cpSync(site, folder, {recursive: true});
      if (marker) appendFileSync(join(folder, 'index.html'), `<!-- ${marker} -->\n`);
      execFileSync('python3', [join(SOURCE, 'app/web/make_service_worker.py'), join(SOURCE, 'app/web/sw.js.in'), folder]);
      return folder;
    };
    const [first, second] = [build(''), build('the second build')];
    let builds = await serve(first);
    const port = builds.address().port, url = `http://127.0.0.1:${port}/`;
    const player = await openTab(engine);
    tabs.push(player);
    await player.goto(url);
    (await player.poll(() => navigator.serviceWorker.controller !== null, 10000)) ||
      fail('the first build\'s worker did not take over');
    const kept = await player.evaluate(() => caches.keys());
    builds.close();
    builds.closeAllConnections();
    builds = await serve(second, port);
    await player.goto(url);
    (await player.poll(() => !document.getElementById('update').hidden, 10000)) ||
      fail('the page did not offer the second build');
    const reload = await player.evaluate(() => {
      const r = document.querySelector('#update button').getBoundingClientRect();
      return {x: r.x + r.width / 2, y: r.y + r.height / 2};
    });
    await player.evaluate(() => (window.beforeReload = true));
    await player.click(reload.x, reload.y);
    // The reload replaces the page under the driver: ask until the new one
    // has drawn its first frame.
    let started = false;
    for (let tries = 0; tries < 100 && !started; ++tries) {
      await player.sleep(100);
      started = await player.evaluate(() => !window.beforeReload &&
        performance.getEntriesByName('diamond-first-frame').length > 0).catch(() => false);
    }
    check(started, 'the reload did not start the second build');
    const now = await player.evaluate(async () => ({
      page: (await (await fetch('./')).text()).includes('the second build'),
      caches: await caches.keys(), offered: !document.getElementById('update').hidden}));
    builds.close();
    for (const folder of [first, second]) rmSync(folder, {recursive: true, force: true});
    check(kept.length === 1 && now.page && !now.offered && now.caches.length === 1 && now.caches[0] !== kept[0],
          `after the update the page reads ${JSON.stringify(now)}, first ${JSON.stringify(kept)}`);
    ok('a second build served at the same place reaches the player at the next start, with a reload offered, ' +
       'and the first build\'s cache is deleted');
  });

  // Without WebAssembly, or from a page cut short in its program, the page
  // says so in one sentence instead of staying blank.
  const sentence = (text, what) => check(/^[^.]+\.$/.test(text), `${what} the page says "${text}"`);
  await scene('without WebAssembly', async () => {
    if (engine === 'chromium') {
      const probe = await openTab('chromium', {private: true});
      tabs.push(probe);
      const page = await probe.page.context().newPage();
      await page.addInitScript(() => delete window.WebAssembly);
      await page.goto(`${origin}/`);
      const line = await page.waitForSelector('#problem:not([hidden])', {timeout: 5000}).catch(() => null);
      sentence(line ? await line.textContent() : '', 'without WebAssembly');
      await page.close();
      ok('without WebAssembly the page says so in one sentence');

      // Installable.
      const {installabilityErrors} = await tab.cdp.send('Page.getInstallabilityErrors');
      check(installabilityErrors.length === 0, `installability errors: ${JSON.stringify(installabilityErrors)}`);
      ok('Chromium reports no installability error');
    } else {
      if (engine === 'firefox') {
        // A script before the page's own, through WebDriver BiDi.
        const page = await tab.page.browser().newPage();
        await page.evaluateOnNewDocument(() => delete window.WebAssembly);
        await page.goto(`${origin}/`);
        const line = await page.waitForSelector('#problem:not([hidden])', {timeout: 5000}).catch(() => null);
        sentence(line ? await line.evaluate((element) => element.textContent) : '', 'without WebAssembly');
        await page.close();
        ok('without WebAssembly the page says so in one sentence');
      } else {
        skip('the one-sentence report without WebAssembly', 'WebKitWebDriver runs no script before the page\'s own');
      }
      skip('the installability report', 'it exists only in Chromium');
    }
  });
  await scene('a page cut short', async () => {
    // The page as a download that broke off halfway through the program:
    // the bytes it holds decode, and are not a whole program.
    const folder = mkdtempSync(join(tmpdir(), 'diamond-site-'));
    cpSync(site, folder, {recursive: true});
    const whole = readFileSync(join(folder, 'index.html'), 'utf8');
    const program = whole.indexOf('id="program">') + 13, ends = whole.indexOf('</script>', program);
    writeFileSync(join(folder, 'index.html'), whole.slice(0, program + Math.floor((ends - program) / 2)));
    const cut = await serve(folder);
    const probe = await openTab(engine);
    tabs.push(probe);
    await probe.goto(`http://127.0.0.1:${cut.address().port}/`);
    await probe.poll(() => !document.getElementById('problem').hidden, 5000);
    sentence(await probe.evaluate(() => document.getElementById('problem').textContent), 'cut short in its program');
    cut.close();
    rmSync(folder, {recursive: true, force: true});
    ok('a page cut short in its program says so in one sentence');
  });

  // Playable offline from what the service worker keeps. The server sends
  // no validators, so no engine's HTTP cache keeps a file of it; Chromium's
  // is turned off besides.
  await scene('offline', async () => {
    (await tab.poll(() => navigator.serviceWorker.controller !== null, 10000)) ||
      fail('no service worker keeps the site');
    server.close();
    server.closeAllConnections();
    if (tab.cdp) {
      await tab.cdp.send('Network.clearBrowserCache');
      await tab.cdp.send('Network.setCacheDisabled', {cacheDisabled: true});
    }
    await tab.goto(`${origin}/`);
    (await tab.poll(() => performance.getEntriesByName('diamond-first-frame').length > 0, 10000)) ||
      fail('offline, the reload did not draw the game');
    await watchCall(tab);
    await tab.key('Numpad8');
    await waitFor(tab, () => !window.ballOnMound, 'the ball left the mound', 1000);
    await waitFor(tab, () => window.callShown, 'the pitch was called');
    ok('with the server gone, a reload still plays');
  });
} finally {
  for (const tab of tabs) await tab.close().catch(() => {});
}
done();
