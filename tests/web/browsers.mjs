// One way to drive a tab in each of the three browser engines, all from
// Debian's packages: Chromium through the DevTools protocol (playwright-core),
// Firefox ESR over WebDriver BiDi (puppeteer-core) and WebKitGTK's
// MiniBrowser through WebKitWebDriver (selenium-webdriver). Every event is a
// real one, given to the engine's own input pipeline.
import {spawn} from 'node:child_process';
import {mkdtempSync, rmSync} from 'node:fs';
import {createServer} from 'node:net';
import {tmpdir} from 'node:os';
import {join} from 'node:path';
import {chromium} from 'playwright-core';
import puppeteer from 'puppeteer-core';
import {Builder, Key, Origin} from 'selenium-webdriver';

import {decodePng} from './png.mjs';

export const ENGINES = ['chromium', 'firefox', 'webkit'];

export const CHROMIUM_ARGS = ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
                              '--disable-background-networking', '--disable-component-update', '--disable-sync'];

// The keys the tests press, as each driver names them. Chromium's events
// are written out whole (a keypad key with Num Lock off reports a
// navigation key); WebDriver has its own code points for the keypad's
// navigation keys (\uE059 is the keypad's Up) and the right Shift (\uE050).
const KEYS = {
  Numpad8: {cdp: {code: 'Numpad8', key: '8', windowsVirtualKeyCode: 104, location: 3, text: '8'},
            firefox: 'Numpad8', webkit: Key.NUMPAD8},
  Numpad8Unlocked: {cdp: {code: 'Numpad8', key: 'ArrowUp', windowsVirtualKeyCode: 38, location: 3},
                    firefox: '\uE059', webkit: '\uE059'},
  Space: {cdp: {code: 'Space', key: ' ', windowsVirtualKeyCode: 32, text: ' '}, firefox: ' ', webkit: ' '},
  ShiftRight: {cdp: {code: 'ShiftRight', key: 'Shift', windowsVirtualKeyCode: 16, location: 2},
               firefox: 'ShiftRight', webkit: '\uE050'},
  Enter: {cdp: {code: 'Enter', key: 'Enter', windowsVirtualKeyCode: 13, text: '\r'}, firefox: 'Enter',
          webkit: Key.ENTER},
  Digit8: {cdp: {code: 'Digit8', key: '8', windowsVirtualKeyCode: 56, text: '8'}, firefox: 'Digit8', webkit: '8'},
  ArrowDown: {cdp: {code: 'ArrowDown', key: 'ArrowDown', windowsVirtualKeyCode: 40}, firefox: 'ArrowDown',
              webkit: Key.ARROW_DOWN},
  ArrowUp: {cdp: {code: 'ArrowUp', key: 'ArrowUp', windowsVirtualKeyCode: 38}, firefox: 'ArrowUp', webkit: Key.ARROW_UP},
};

// A source text that the page evaluates: a function and its argument.
const call = (fn, arg) => (typeof fn === 'string' ? fn : `(${fn})(${JSON.stringify(arg)})`);

const freePort = () =>
  new Promise((resolve) => {
    const probe = createServer().listen(0, '127.0.0.1', () => {
      const {port} = probe.address();
      probe.close(() => resolve(port));
    });
  });

// A tab of a browser of its own, with a fresh profile, at the given
// viewport in CSS pixels. `messages` collects the console's errors and
// warnings and uncaught errors.
// In Chromium a private window can be had too: there the device pixel
// ratio can be changed under the page, as a zoom does (a profile's own
// window pins it); a private window cannot install a site.
// `args`: Chromium's further flags; `prefs`: Firefox's further preferences;
// `init`: a script each page runs first; `mobile`: Chromium's emulation of
// a phone, with touch.
export async function openTab(engine, {width = 800, height = 600, scale = 1, private: inPrivate = false, args = [],
                                       prefs = {}, init = null, mobile = false} = {}) {
  const tab = {engine, messages: []};
  const note = (type, text) => (type === 'error' || type === 'warning' || type === 'warn') &&
    tab.messages.push(`${type}: ${text}`);
  if (engine === 'chromium') {
    const launch = {executablePath: '/usr/bin/chromium', args: [...CHROMIUM_ARGS, ...args]};
    const settings = {viewport: {width, height}, deviceScaleFactor: scale, isMobile: mobile, hasTouch: mobile};
    const profile = mkdtempSync(join(tmpdir(), 'diamond-chromium-'));
    const context = inPrivate ? await (await chromium.launch(launch)).newContext(settings)
                              : await chromium.launchPersistentContext(profile, {...launch, ...settings});
    if (init) await context.addInitScript(init);
    const page = context.pages()[0] || (await context.newPage());
    page.on('console', (m) => note(m.type(), m.text()));
    page.on('pageerror', (e) => note('error', e.message));
    const cdp = await context.newCDPSession(page);
    Object.assign(tab, {
      page, cdp,
      goto: (url) => page.goto(url),
      evaluate: (fn, arg) => page.evaluate(call(fn, arg)),
      key: async (name) => {
        const event = KEYS[name].cdp;
        await cdp.send('Input.dispatchKeyEvent', {...event, type: event.text ? 'keyDown' : 'rawKeyDown'});
        await cdp.send('Input.dispatchKeyEvent', {...event, type: 'keyUp', text: undefined});
      },
      click: (x, y) => page.mouse.click(x, y),
      // A finger down and up again: real touch events.
      tap: async (x, y) => {
        await cdp.send('Input.dispatchTouchEvent', {type: 'touchStart', touchPoints: [{x, y}]});
        await cdp.send('Input.dispatchTouchEvent', {type: 'touchEnd', touchPoints: []});
      },
      png: () => page.screenshot(),
      resize: (w, h, s) => cdp.send('Emulation.setDeviceMetricsOverride',
                                    {width: w, height: h, deviceScaleFactor: s, mobile: false}),
      close: async () => {
        await context.close();
        if (inPrivate) await context.browser().close();
        rmSync(profile, {recursive: true, force: true});
      },
    });
  } else if (engine === 'firefox') {
    const browser = await puppeteer.launch({browser: 'firefox', executablePath: '/usr/bin/firefox-esr', headless: true,
                                            extraPrefsFirefox: prefs});
    const page = await browser.newPage();
    if (init) await page.evaluateOnNewDocument(init);
    page.on('console', (m) => note(m.type(), m.text()));
    page.on('pageerror', (e) => note('error', e.message));
    await page.setViewport({width, height, deviceScaleFactor: scale});
    Object.assign(tab, {
      page,
      goto: (url) => page.goto(url),
      evaluate: (fn, arg) => page.evaluate(call(fn, arg)),
      key: (name) => page.keyboard.press(KEYS[name].firefox),
      click: (x, y) => page.mouse.click(x, y),
      png: () => page.screenshot(),
      resize: (w, h, s) => page.setViewport({width: w, height: h, deviceScaleFactor: s}),
      close: () => browser.close(),
    });
  } else {
    // WebKitWebDriver starts MiniBrowser on the X server in DISPLAY; its
    // console is out of the driver's reach, so the page's own records it
    // (see `record` below).
    const port = await freePort();
    const server = spawn('WebKitWebDriver', [`--port=${port}`], {stdio: 'ignore'});
    let driver;
    for (let tries = 0; !driver && tries < 50; ++tries) {
      driver = await new Builder().usingServer(`http://127.0.0.1:${port}`).withCapabilities({
        browserName: 'MiniBrowser',
        'webkitgtk:browserOptions': {binary: '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser',
                                     args: ['--automation']},
      }).build().catch(() => new Promise((resolve) => setTimeout(() => resolve(undefined), 100)));
    }
    if (!driver) throw new Error('WebKitWebDriver did not start MiniBrowser');
    // The window's size less its tool bar is the viewport: grow the window
    // until the viewport is as asked.
    const fit = async (w, h) => {
      await driver.manage().window().setRect({width: w, height: h});
      const [iw, ih] = await driver.executeScript('return [innerWidth, innerHeight]');
      await driver.manage().window().setRect({width: 2 * w - iw, height: 2 * h - ih});
    };
    await fit(width, height);
    Object.assign(tab, {
      driver,
      goto: async (url) => {
        await driver.get(url);
        await tab.evaluate(record);
      },
      evaluate: (fn, arg) => driver.executeAsyncScript(
        `const done = arguments[arguments.length - 1];
         Promise.resolve(${call(fn, arg)}).then(done, (e) => done({thrown: String(e)}));`),
      key: (name) => driver.actions().keyDown(KEYS[name].webkit).keyUp(KEYS[name].webkit).perform(),
      click: (x, y) => driver.actions().move({x: Math.round(x), y: Math.round(y), origin: Origin.VIEWPORT})
        .press().release().perform(),
      png: async () => Buffer.from(await driver.takeScreenshot(), 'base64'),
      resize: async (w, h) => fit(w, h),
      close: async () => {
        await driver.quit().catch(() => {});
        server.kill();
      },
      pageMessages: async () => tab.evaluate(() => window.recorded || []),
    });
  }
  tab.screenshot = async () => decodePng(Buffer.from(await tab.png()));
  // Polls a test in the page on every frame; false after `timeout` ms.
  tab.poll = (test, timeout = 3000) => tab.evaluate(
    `(async () => {
       const test = ${test}, end = performance.now() + ${timeout};
       while (!test()) {
         if (performance.now() > end) return false;
         await new Promise((next) => requestAnimationFrame(next));
       }
       return true;
     })()`);
  tab.sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
  return tab;
}

// Where a driver cannot read the console, the page records what would
// reach it: errors, warnings and uncaught errors, from its load on.
function record() {
  window.recorded = [];
  for (const type of ['error', 'warn']) {
    const original = console[type];
    console[type] = (...args) => {
      window.recorded.push(`${type}: ${args.join(' ')}`);
      original.apply(console, args);
    };
  }
  addEventListener('error', (e) => window.recorded.push(`error: ${e.message}`));
  addEventListener('unhandledrejection', (e) => window.recorded.push(`error: ${e.reason}`));
}
