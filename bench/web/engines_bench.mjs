// Figures of the site in every engine: navigation to the first drawn frame
// beside a bare page of one green canvas from the same server, fresh
// browser each visit; and, in Chromium with touch, a touch's pointerdown
// beside a key's keydown to the pitch's first drawn move, and the main
// thread idle with the on-screen controls shown. Prints figures; never
// fails on a number.
// Usage: node engines_bench.mjs SITE_DIR BARE_PAGE [VISITS]
import {copyFileSync, cpSync, mkdtempSync, rmSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {join} from 'node:path';

import {chromium} from '../../tests/web/node_modules/playwright-core/index.mjs';
import {CHROMIUM_ARGS, ENGINES, openTab} from '../../tests/web/browsers.mjs';
import {serve} from '../../app/web/server/serve.mjs';

const [site, bare, visits = '10'] = process.argv.slice(2);
const folder = mkdtempSync(join(tmpdir(), 'diamond-bench-'));
cpSync(site, folder, {recursive: true});
copyFileSync(bare, join(folder, 'bare.html'));
const server = await serve(folder);
const origin = `http://127.0.0.1:${server.address().port}`;
const median = (values) => {
  const sorted = [...values].sort((a, b) => a - b), middle = sorted.length / 2;
  return sorted.length % 2 ? sorted[Math.floor(middle)] : (sorted[middle - 1] + sorted[middle]) / 2;
};

console.log(`== Navigation to the first drawn frame, ${visits} fresh visits each, alternating with a bare page`);
for (const engine of ENGINES) {
  const times = {game: [], bare: []};
  for (let visit = 0; visit < Number(visits); ++visit) {
    for (const [name, path, mark] of [['bare', 'bare.html', 'bare-first-frame'], ['game', '', 'diamond-first-frame']]) {
      const tab = await openTab(engine);
      await tab.goto(`${origin}/${path}`);
      await tab.poll(`() => performance.getEntriesByName('${mark}').length > 0`, 10000);
      times[name].push(await tab.evaluate(`performance.getEntriesByName('${mark}')[0].startTime`));
      await tab.close();
    }
  }
  const game = median(times.game), plain = median(times.bare);
  console.log(`${engine.padEnd(9)} game ${game.toFixed(0)} ms, bare page ${plain.toFixed(0)} ms: ` +
              `${(game / plain).toFixed(2)} times   (game runs: ${times.game.map((t) => t.toFixed(0)).join(' ')})`);
}

{
  console.log('== Chromium with touch: input to the pitch\'s first drawn move, median of 10 each, alternating');
  const browser = await chromium.launch({executablePath: '/usr/bin/chromium', args: CHROMIUM_ARGS});
  const context = await browser.newContext({viewport: {width: 1180, height: 820}, hasTouch: true, isMobile: true});
  const page = await context.newPage();
  const cdp = await context.newCDPSession(page);
  await page.goto(`${origin}/`);
  await page.waitForFunction(() => performance.getEntriesByName('diamond-first-frame').length > 0);
  // The time of the input event, and of the first drawing of the ball off
  // the mound after it.
  await page.evaluate(() => {
    const pitch = document.querySelector('canvas');
    for (const type of ['keydown', 'pointerdown']) addEventListener(type, (e) => (window.inputAt = e.timeStamp), true);
    const ellipse = CanvasRenderingContext2D.prototype.ellipse;
    CanvasRenderingContext2D.prototype.ellipse = function (x, y, rx, ry, ...rest) {
      if (this.canvas === pitch && rx < 12 && Math.abs(rx - ry) < 0.01 && !window.movedAt) {
        const m = this.getTransform();
        if (Math.abs((m.d * y + m.f) / m.d - 40.5) > 1) window.movedAt = performance.now();
      }
      return ellipse.call(this, x, y, rx, ry, ...rest);
    };
  });
  const eight = await page.evaluate(() => {
    const r = document.querySelector('#pads [data-code="Numpad8"]').getBoundingClientRect();
    return {x: r.x + r.width / 2, y: r.y + r.height / 2};
  });
  const inputs = {
    key: async () => {
      const event = {code: 'Numpad8', key: '8', windowsVirtualKeyCode: 104, location: 3};
      await cdp.send('Input.dispatchKeyEvent', {type: 'keyDown', text: '8', ...event});
      await cdp.send('Input.dispatchKeyEvent', {type: 'keyUp', ...event});
    },
    touch: async () => {
      await cdp.send('Input.dispatchTouchEvent', {type: 'touchStart', touchPoints: [{...eight, id: 0}]});
      await cdp.send('Input.dispatchTouchEvent', {type: 'touchEnd', touchPoints: []});
    },
  };
  const delays = {key: [], touch: []};
  for (let round = 0; round < 10; ++round) {
    for (const name of ['key', 'touch']) {
      await page.evaluate(() => (window.movedAt = 0));
      await inputs[name]();
      await page.waitForFunction(() => window.movedAt > 0);
      delays[name].push(await page.evaluate(() => window.movedAt - window.inputAt));
      await page.waitForTimeout(900);  // the pitch is called and the ball is home again
      // The fifth out's box would keep the next input: OK it.
      await page.evaluate(() => document.querySelector('dialog[open]')?.close());
    }
  }
  console.log(`keydown to the first move ${median(delays.key).toFixed(1)} ms, pointerdown ${median(delays.touch).toFixed(1)} ms`);
  await cdp.send('Performance.enable');
  const taskTime = async () =>
    (await cdp.send('Performance.getMetrics')).metrics.find((m) => m.name === 'TaskDuration').value;
  await page.waitForTimeout(1000);
  const start = await taskTime();
  await page.waitForTimeout(5000);
  const used = (await taskTime()) - start;
  console.log(`idle with the controls shown, 5 s: ${(used * 1000).toFixed(1)} ms busy = ${(used / 5 * 100).toFixed(2)} %`);
  await browser.close();
}

server.close();
rmSync(folder, {recursive: true, force: true});
