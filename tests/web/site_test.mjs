// The game's site, played in Debian's Chromium (headless) through the
// DevTools protocol with real key and mouse events; what it shows is read
// from screenshots at layout points.
// Usage: node site_test.mjs SITE_DIR
import {mkdtempSync, rmSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {join} from 'node:path';
import {chromium} from 'playwright-core';

import {decodePng} from './png.mjs';
import {serve} from './serve.mjs';

const site = process.argv[2];
let passed = 0;
const ok = (what) => {
  console.log(`ok: ${what}`);
  passed += 1;
};
const fail = (what) => {
  console.log(`FAIL: ${what}`);
  process.exit(1);
};
const check = (condition, what) => condition || fail(what);
// A wait that times out fails the test with what it waited for.
process.on('uncaughtException', (error) => fail(error.message.split('\n')[0]));

const TWIPS = 15;
const FIELD = '#008000', WHITE = '#FFFFFF', MOUND = '#C04000', BOX = '#C0C000', BAT = '#C0C0C0', BROWN = '#804000';

const server = await serve(site);
const origin = `http://127.0.0.1:${server.address().port}`;
const profiles = [];
process.on('exit', () => {
  server.close();
  for (const profile of profiles) rmSync(profile, {recursive: true, force: true});
});

// A page of the site in a browser of its own, with a profile of its own (a
// private window cannot install a site), watched: console messages and
// every request.
// A private window can be had too: there the page's device pixel ratio can
// be changed under it, as a zoom does (a profile's own window pins it).
async function open(options = {}, {private: inPrivate = false} = {}) {
  const launch = {
    executablePath: '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
           '--disable-component-update', '--disable-sync'],
  };
  const settings = {viewport: {width: 800, height: 600}, ...options};
  let context;
  if (inPrivate) {
    context = await (await chromium.launch(launch)).newContext(settings);
  } else {
    const profile = mkdtempSync(join(tmpdir(), 'diamond-chromium-'));
    profiles.push(profile);
    context = await chromium.launchPersistentContext(profile, {...launch, ...settings});
  }
  const page = context.pages()[0] || (await context.newPage());
  page.messages = [];
  page.requests = [];
  page.on('console', (message) => page.messages.push(`${message.type()}: ${message.text()}`));
  page.on('pageerror', (error) => page.messages.push(`error: ${error.message}`));
  page.on('request', (request) => page.requests.push(request.url()));
  page.cdp = await context.newCDPSession(page);
  await page.goto(`${origin}/`);
  await firstFrame(page);
  return page;
}

const firstFrame = (page) =>
  page.waitForFunction(() => performance.getEntriesByName('diamond-first-frame').length > 0, null, {timeout: 10000});

// Real key events. A keypad key reports a digit with Num Lock on and a
// navigation key with it off.
async function key(page, code, keyName, virtualKey, text = keyName.length === 1 ? keyName : undefined) {
  const location = code.startsWith('Numpad') ? 3 : 0;
  const event = {code, key: keyName, windowsVirtualKeyCode: virtualKey, location};
  await page.cdp.send('Input.dispatchKeyEvent', {type: text ? 'keyDown' : 'rawKeyDown', text, ...event});
  await page.cdp.send('Input.dispatchKeyEvent', {type: 'keyUp', ...event});
}
const keypad8 = (page) => key(page, 'Numpad8', '8', 104);
const space = (page) => key(page, 'Space', ' ', 32);

// The game's windows, by their canvases' sizes in CSS pixels.
const SIZES = {pitch: [402, 350], hit: [337, 459], stats: [302, 102]};
async function place(page, name) {
  const [width, height] = SIZES[name];
  return page.evaluate(([width, height]) => {
    for (const canvas of document.querySelectorAll('canvas')) {
      const box = canvas.getBoundingClientRect();
      if (box.width === width && box.height === height && !canvas.parentElement.hidden) return {x: box.x, y: box.y};
    }
    return null;
  }, [width, height]);
}
const shown = async (page, name) => (await place(page, name)) !== null;

async function screenshot(page) {
  return decodePng(await page.screenshot());
}
// The colour at a point of a window, given in twips of its client area.
async function colourAt(page, name, x, y, image) {
  const at = await place(page, name);
  const scale = await page.evaluate(() => devicePixelRatio);
  image = image || (await screenshot(page));
  return image.at(Math.floor((at.x + x / TWIPS) * scale), Math.floor((at.y + y / TWIPS) * scale));
}
async function click(page, name, x, y) {
  const at = await place(page, name);
  await page.mouse.click(at.x + x / TWIPS, at.y + y / TWIPS);
}

// In the page, on every animation frame: when the call label last showed
// text and whether the ball is on the mound, read from the pitch canvas.
const watchCall = (page) =>
  page.evaluate(() => {
    const canvas = [...document.querySelectorAll('canvas')][0];
    const ctx = canvas.getContext('2d');
    const scale = canvas.width / 402;
    window.callShownAt = 0;
    const look = () => {
      const label = ctx.getImageData(160 * scale, 136 * scale, 81 * scale, 25 * scale).data;
      let text = false;
      for (let i = 0; i < label.length; i += 4) text ||= label[i] + label[i + 1] + label[i + 2] === 0;
      const ball = ctx.getImageData(200 * scale, 40 * scale, 1, 1).data;
      window.ballOnMound = ball[0] === 255 && ball[1] === 255 && ball[2] === 255;
      window.ballLeft ||= !window.ballOnMound;
      window.callShown = text && window.ballOnMound;
      if (window.callShown && !window.callShownAt) window.callShownAt = performance.now();
      if (!window.callShown) window.callShownAt = 0;
      if (window.probing !== false) requestAnimationFrame(look);
    };
    look();
  });
const callShown = (page) => page.evaluate(() => window.callShown);
const waitFor = (page, test, timeout = 3000) => page.waitForFunction(test, null, {timeout, polling: 'raf'});

const page = await open();

// The layout, from a screenshot.
{
  const image = await screenshot(page);
  const points = [[600, 2500, FIELD], [3000, 615, WHITE], [2550, 615, MOUND], [3000, 4000, WHITE],
                  [1800, 4300, BOX], [4200, 4300, BOX], [2227, 4400, BAT]];
  for (const [x, y, colour] of points) {
    const seen = await colourAt(page, 'pitch', x, y, image);
    check(seen === colour, `the pitch screen at ${x},${y} is ${seen}, not ${colour}`);
  }
  const at = await place(page, 'pitch');
  check(Math.abs(at.x + 201 - 400) <= 1 && Math.abs(at.y + 175 - 300) <= 1, `the pitch screen is not centred: ${at.x},${at.y}`);
  check(await page.title() === 'Diamond', `the page's title is ${await page.title()}`);
  ok('the pitch screen is centred, titled "Diamond" and shows its field, mound, ball, plate, boxes and bat');
}

await watchCall(page);

// Keypad 8 with Num Lock off is a navigation key.
{
  await page.evaluate(() => (window.ballLeft = false));
  await key(page, 'Numpad8', 'ArrowUp', 38);
  await page.waitForTimeout(1000);
  check(await page.evaluate(() => !window.ballLeft), 'keypad 8 with Num Lock off threw a pitch');
  ok('keypad 8 with Num Lock off does nothing');
}

// A straight pitch reaches the plate in about 0.69 s and is called.
{
  const thrown = await page.evaluate(() => performance.now());
  await keypad8(page);
  await waitFor(page, () => window.callShown);
  const seconds = (await page.evaluate(() => window.callShownAt) - thrown) / 1000;
  check(seconds > 0.6 && seconds < 0.85, `the strike was called after ${seconds.toFixed(3)} s`);
  ok(`keypad 8 threw a strike, called after ${seconds.toFixed(3)} s`);
}

// A timed swing hits; the hit view flies for about 3.1 s and a click after
// the landing closes it.
{
  // When the hit view opened and when its picture last changed, on every frame.
  await page.evaluate(() => {
    window.hitOpenedAt = 0;
    let last = '';
    const look = () => {
      const canvas = [...document.querySelectorAll('canvas')].find(
        (c) => c.width / devicePixelRatio === 337 && !c.parentElement.hidden);
      if (canvas) {
        const data = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
        let sum = 0;
        for (let i = 0; i < data.length; i += 4) sum = (sum * 31 + data[i] + 3 * data[i + 1] + 7 * data[i + 2]) >>> 0;
        const now = performance.now();
        if (!window.hitOpenedAt) window.hitOpenedAt = now;
        if (String(sum) !== last) window.hitChangedAt = now;
        last = String(sum);
      }
      if (window.probing !== false) requestAnimationFrame(look);
    };
    look();
  });
  let tries = 0;
  while (!(await shown(page, 'hit')) && tries < 10) {
    tries += 1;
    await keypad8(page);
    await page.waitForTimeout(360);
    await space(page);
    await page.waitForTimeout(900);
  }
  check(await shown(page, 'hit'), 'ten timed swings did not open the hit view');
  await click(page, 'hit', 2500, 5000);  // in flight: ignored
  await waitFor(page, () => performance.now() - window.hitChangedAt > 1000, 6000);
  const landed = await page.evaluate(() => (window.hitChangedAt - window.hitOpenedAt) / 1000);
  check(landed > 2.8 && landed < 3.4, `the hit flew for ${landed.toFixed(2)} s`);
  check(await shown(page, 'hit'), 'a click in flight closed the hit view');
  await click(page, 'hit', 2500, 5000);
  await page.waitForTimeout(300);
  check(!(await shown(page, 'hit')), 'a click after the landing did not close the hit view');
  ok(`a timed Space hit (try ${tries}); the ball flew for ${landed.toFixed(2)} s and a click closed the hit view`);

  await keypad8(page);
  await waitFor(page, () => !window.ballOnMound, 1000);
  await waitFor(page, () => window.callShown);
  ok('the pitcher throws again without a click on the page');
}

// View Stats opens the statistics; a click closes them.
{
  await click(page, 'pitch', 5100, 4700);
  await waitFor(page, () => [...document.querySelectorAll('canvas')].some(
    (c) => c.width / devicePixelRatio === 302 && !c.parentElement.hidden), 2000);
  await page.waitForTimeout(100);
  check(await colourAt(page, 'stats', 60, 60) === BROWN, 'the stats window is not brown');
  await click(page, 'stats', 2000, 700);
  await page.waitForTimeout(300);
  check(!(await shown(page, 'stats')), 'a click did not close the stats window');
  ok('View Stats opened the statistics window and a click closed it');
}

// Fifteen strikes make five outs: the sides switch behind a modal dialog,
// which Enter dismisses.
{
  let dialog = false;
  for (let strike = 0; strike < 15 && !dialog; ++strike) {
    await keypad8(page);
    await waitFor(page, () => !window.callShown, 1000);
    await waitFor(page, () => window.callShown || document.querySelector('dialog[open]'));
    dialog = await page.evaluate(() => !!document.querySelector('dialog[open]'));
  }
  check(dialog, 'fifteen strikes did not open the dialog');
  const box = await page.evaluate(() => {
    const d = document.querySelector('dialog[open]');
    return {title: d.querySelector('h1').textContent, prompt: d.querySelector('p').textContent,
            focused: document.activeElement.textContent};
  });
  check(box.title === 'Switch Positions' && box.prompt === 'Switch Positions.' && box.focused === 'OK',
        `the dialog reads ${JSON.stringify(box)}`);
  // The dialog has the keyboard: a pitch key would hide the call.
  await keypad8(page);
  await page.waitForTimeout(300);
  check(await callShown(page), 'a pitch key got past the dialog');
  await key(page, 'Enter', 'Enter', 13, '\r');
  await waitFor(page, () => !document.querySelector('dialog[open]'), 1000);
  ok('fifteen strikes opened the "Switch Positions" dialog, which kept the keys and closed on Enter');
}

// With nothing moving the page schedules nothing: no frame, timeout or
// message in a second. (The test's own frame-by-frame probes stop first.)
{
  await page.waitForTimeout(300);
  const scheduled = await page.evaluate(() => new Promise((resolve) => {
    window.probing = false;
    const counts = {frames: 0, timeouts: 0, messages: 0};
    const {requestAnimationFrame: frame, setTimeout: timeout} = window;
    const post = MessagePort.prototype.postMessage;
    setTimeout(() => {
      window.requestAnimationFrame = (f) => (counts.frames += 1, frame(f));
      window.setTimeout = (f, ms) => (counts.timeouts += 1, timeout(f, ms));
      MessagePort.prototype.postMessage = function (m) { counts.messages += 1; return post.call(this, m); };
      timeout(() => resolve(counts), 1000);
    }, 100);
  }));
  check(scheduled.frames + scheduled.timeouts + scheduled.messages === 0,
        `idle, the page scheduled ${JSON.stringify(scheduled)} in a second`);
  ok('with nothing moving the page schedules nothing');
}

// The test's own probes read the canvases back on every frame, which
// Chromium advises against; the game itself never reads a canvas.
const messages = page.messages.filter((message) => !message.includes('willReadFrequently'));
check(messages.length === 0, `the console shows: ${messages.join(' | ')}`);
const foreign = page.requests.filter((url) => !url.startsWith(origin));
check(foreign.length === 0, `requests to other origins: ${foreign.join(' ')}`);
ok('in play the console showed nothing and nothing was fetched from another origin');

// Resizing and zooming the page keep every window centred and sharp: the
// canvases are backed anew at the new ratio and painted again.
{
  const page = await open({}, {private: true});
  await click(page, 'pitch', 5100, 4700);  // the statistics, over the pitch screen
  // A window of 1600 x 1000 device pixels, then a zoom to 200 %: the page
  // becomes 800 x 500 pixels of two device pixels each.
  for (const [width, height, deviceScaleFactor] of [[1600, 1000, 1], [800, 500, 2]]) {
    await page.cdp.send('Emulation.setDeviceMetricsOverride', {width, height, deviceScaleFactor, mobile: false});
    await page.waitForFunction((ratio) => devicePixelRatio === ratio, deviceScaleFactor);
    await page.waitForTimeout(300);
  }
  const boxes = await page.evaluate(() => [...document.querySelectorAll('.window:not([hidden])')].map((box) => {
    const r = box.getBoundingClientRect(), canvas = box.querySelector('canvas');
    return {x: r.x + r.width / 2, y: r.y + r.height / 2, backing: canvas.width / canvas.clientWidth};
  }));
  check(boxes.length === 2 && boxes.every((b) => Math.abs(b.x - 400) <= 1 && Math.abs(b.y - 250) <= 1 && b.backing === 2),
        `after a resize and a zoom the windows are ${JSON.stringify(boxes)}`);
  const image = await screenshot(page);
  const at = await place(page, 'stats');
  const scale = image.width / 800;  // the screenshot's own device pixels
  const row = Math.round((at.y + 3) * scale), left = Math.round(at.x * scale);
  const edge = [image.at(left - scale - 1, row), image.at(left - 1, row), image.at(left + 1, row)];
  check(edge[0] === FIELD && edge[1] === '#000000' && edge[2] === BROWN, `the stats window's left edge reads ${edge}`);
  ok('after a resize and a zoom to 200 % the windows are centred, backed at the new ratio and sharp');
  await page.context().browser().close();
}

// Without WebAssembly, or with a file that does not arrive, the page says
// so in one sentence instead of staying blank.
{
  const launch = {executablePath: '/usr/bin/chromium', args: ['--no-sandbox', '--disable-gpu', '--no-first-run']};
  const browser = await chromium.launch(launch);
  for (const [what, prepare] of [
    ['without WebAssembly', (context) => context.addInitScript(() => delete window.WebAssembly)],
    ['without the program', (context) => context.route('**/diamond.wasm', (route) => route.abort())],
  ]) {
    const context = await browser.newContext();
    await prepare(context);
    const page = await context.newPage();
    await page.goto(`${origin}/`);
    const line = await page.waitForSelector('#problem:not([hidden])', {timeout: 5000}).catch(() => null);
    const text = line ? await line.textContent() : '';
    check(/^[^.]+\.$/.test(text), `${what} the page says "${text}"`);
    await context.close();
  }
  await browser.close();
  ok('without WebAssembly, and without the program, the page says so in one sentence');
}

// A page smaller than the game scrolls, but Space swings and never scrolls.
{
  const small = await open({viewport: {width: 300, height: 300}});
  check(await small.evaluate(() => document.documentElement.scrollHeight > innerHeight), 'the small page cannot scroll');
  await space(small);
  await small.waitForTimeout(400);
  check(await small.evaluate(() => scrollY) === 0, 'Space scrolled the page');
  ok('Space does not scroll a page smaller than the game');
  await small.context().close();
}

// At two device pixels per pixel the pitch screen covers 804 x 700 device
// pixels, its edges sharp.
{
  const sharp = await open({deviceScaleFactor: 2});
  const image = await screenshot(sharp);
  const at = await place(sharp, 'pitch');
  const left = at.x * 2, top = at.y * 2;
  check(Number.isInteger(left) && Number.isInteger(top), `the pitch screen starts at ${left},${top} device pixels`);
  const inside = [image.at(left, top + 300), image.at(left + 803, top + 300), image.at(left + 300, top + 699)];
  const outside = [image.at(left - 1, top + 300), image.at(left + 804, top + 300), image.at(left + 300, top + 700)];
  check(inside.every((c) => c === FIELD) && outside.every((c) => c === '#404040'),
        `the edges are ${inside} inside and ${outside} outside`);
  ok('at device scale 2 the pitch screen covers 804x700 device pixels with sharp edges');
  await sharp.context().close();
}

// Installable, and playable offline from what the service worker keeps.
{
  const {installabilityErrors} = await page.cdp.send('Page.getInstallabilityErrors');
  check(installabilityErrors.length === 0, `installability errors: ${JSON.stringify(installabilityErrors)}`);
  ok('Chromium reports no installability error');
  await page.evaluate(() => navigator.serviceWorker.ready);
  server.close();
  server.closeAllConnections();
  // Nothing but what the service worker keeps: no HTTP cache, for the page
  // or for the worker's own fetches.
  await page.cdp.send('Network.clearBrowserCache');
  await page.cdp.send('Network.setCacheDisabled', {cacheDisabled: true});
  await page.reload();
  await firstFrame(page).catch(() => fail('offline, the reload did not draw the game'));
  await watchCall(page);
  await keypad8(page);
  await waitFor(page, () => !window.ballOnMound, 1000);
  await waitFor(page, () => window.callShown);
  ok('with the server gone and the HTTP cache off, a reload still plays');
  await page.context().close();
}

console.log(`${passed} passed, 0 failed`);
process.exit(0);
