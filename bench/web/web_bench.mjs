// Figures of the game in headless Chromium: the timer cadence beside a plain
// setInterval, main-thread busy time idle, during a swing and during a hit's
// flight beside a page that only moves a ball at the same rate, the
// site's transfer size and the time from navigation to the first frame.
// Prints figures; never fails on a number.
// Usage: node web_bench.mjs SITE_DIR BENCH_DIR SECONDS
import {readdirSync, readFileSync, statSync} from 'node:fs';
import {join} from 'node:path';
import {gzipSync} from 'node:zlib';

import {chromium} from '../../tests/web/node_modules/playwright-core/index.mjs';
import {serve} from '../../app/web/server/serve.mjs';

const [site, bench, seconds = '5'] = process.argv.slice(2);
const browser = await chromium.launch({
  executablePath: '/usr/bin/chromium',
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
         '--disable-component-update', '--disable-sync'],
});

// Each tick's offset from the nearest slot of an ideal schedule, measured
// from the schedule's best-kept slot, as the desktop's benchmark does.
function cadence(name, ticks, periodMs) {
  const lateness = ticks.map((t) => {
    const since = t - ticks[0];
    return since - Math.round(since / periodMs) * periodMs;
  }).sort((a, b) => a - b);
  const earliest = lateness[0];
  const late = lateness.map((l) => l - earliest);
  const pct = (p) => late[Math.floor(p * (late.length - 1))];
  const rate = (ticks.length - 1) / ((ticks.at(-1) - ticks[0]) / 1000);
  console.log(`${name.padEnd(26)} ${rate.toFixed(3)} Hz   lateness p50 ${pct(0.5).toFixed(3)} ms  ` +
              `p99 ${pct(0.99).toFixed(3)} ms  max ${late.at(-1).toFixed(3)} ms`);
}

// Main-thread busy time over a span, from Chromium's own task accounting.
async function busy(page, cdp, action) {
  await cdp.send('Performance.enable');
  const taskTime = async () =>
    (await cdp.send('Performance.getMetrics')).metrics.find((m) => m.name === 'TaskDuration').value;
  const start = await taskTime(), began = Date.now();
  await action();
  const used = (await taskTime()) - start, span = (Date.now() - began) / 1000;
  return {used, span, percent: (100 * used) / span};
}

{
  console.log(`== Timer cadence, ${seconds} s, headless Chromium`);
  const server = await serve(bench);
  const page = await browser.newPage();
  await page.goto(`http://127.0.0.1:${server.address().port}/cadence.html`);
  const {game, plain} = await page.evaluate((seconds) => new Promise((resolve) => {
    const plain = [];
    const interval = setInterval(() => plain.push(performance.now()), 15.625);
    createCadence().then((module) => {
      module.ccall('start_cadence', null, ['number'], [seconds], {async: true});
      const done = () => {
        if (!module.ticks) return setTimeout(done, 100);
        clearInterval(interval);
        resolve({game: module.ticks, plain});
      };
      done();
    });
  }), Number(seconds));
  cadence('game timer, Interval 1', game, 15.625);
  cadence('setInterval(f, 15.625)', plain, 15.625);
  await page.close();
  server.close();
}

const server = await serve(site);
const url = `http://127.0.0.1:${server.address().port}/`;

{
  console.log('== Main-thread busy time');
  const page = await browser.newPage();
  const cdp = await page.context().newCDPSession(page);
  await page.goto(url);
  await page.waitForFunction(() => performance.getEntriesByName('diamond-first-frame').length > 0);
  await page.waitForTimeout(1000);
  const idle = await busy(page, cdp, () => page.waitForTimeout(5000));
  console.log(`idle ${idle.span.toFixed(1)} s: ${(idle.used * 1000).toFixed(1)} ms busy = ${idle.percent.toFixed(2)} %`);
  const key = async (code, key, vk) => {
    const event = {code, key, windowsVirtualKeyCode: vk, location: code.startsWith('Numpad') ? 3 : 0};
    await cdp.send('Input.dispatchKeyEvent', {type: 'keyDown', text: key, ...event});
    await cdp.send('Input.dispatchKeyEvent', {type: 'keyUp', ...event});
  };
  // A swing's 0.3 s wait, with a pitch in flight: the program suspends and
  // resumes inside the key's handler until the wait is over.
  await key('Numpad8', '8', 104);
  const swing = await busy(page, cdp, async () => {
    await key('Space', ' ', 32);
    await page.waitForTimeout(300);
  });
  console.log(`swing wait ${swing.span.toFixed(2)} s: ${(swing.used * 1000).toFixed(1)} ms busy = ` +
              `${swing.percent.toFixed(2)} %`);
  await page.waitForTimeout(1500);
  const hitViewOpen = () => page.evaluate(() => [...document.querySelectorAll('canvas')].some(
    (c) => c.width / devicePixelRatio === 337 && !c.parentElement.hidden));
  for (let tries = 0; tries < 10 && !(await hitViewOpen()); ++tries) {
    await key('Numpad8', '8', 104);
    await page.waitForTimeout(360);
    await key('Space', ' ', 32);
    await page.waitForFunction(() => [...document.querySelectorAll('canvas')].some(
      (c) => c.width / devicePixelRatio === 337 && !c.parentElement.hidden), null, {timeout: 900}).catch(() => {});
  }
  if (await hitViewOpen()) {
    const flight = await busy(page, cdp, () => page.waitForTimeout(3100));
    console.log(`hit flight ${flight.span.toFixed(1)} s: ${(flight.used * 1000).toFixed(1)} ms busy = ` +
                `${flight.percent.toFixed(2)} %`);
  } else {
    console.log('hit flight: no hit in ten swings');
  }
  await page.close();
  // The same span on a page that only moves a ball at the game's rate: what
  // any animated canvas costs this browser.
  const bare = await browser.newPage();
  const bareCdp = await bare.context().newCDPSession(bare);
  const benchServer = await serve(bench);
  await bare.goto(`http://127.0.0.1:${benchServer.address().port}/bare_flight.html`);
  await bare.waitForTimeout(1000);
  const still = await busy(bare, bareCdp, () => bare.waitForTimeout(3100));
  console.log(`bare flight ${still.span.toFixed(1)} s: ${(still.used * 1000).toFixed(1)} ms busy = ` +
              `${still.percent.toFixed(2)} %`);
  await bare.close();
  benchServer.close();
}

{
  // The computer as player 2: what it costs at rest, and what its turn adds
  // to a pitch in flight, beside a person's pitch in the same run.
  console.log('== The computer as player 2 ("Computer: normal")');
  const page = await browser.newPage();
  const cdp = await page.context().newCDPSession(page);
  await page.goto(url);
  await page.waitForFunction(() => performance.getEntriesByName('diamond-first-frame').length > 0);
  // Every wake-up the page asks for: timeouts, messages and frames.
  await page.evaluate(() => {
    window.wakes = 0;
    for (const [owner, name] of [[window, 'setTimeout'], [window, 'requestAnimationFrame'],
                                 [MessagePort.prototype, 'postMessage']]) {
      const original = owner[name];
      owner[name] = function (...args) {
        window.wakes += 1;
        return original.apply(this, args);
      };
    }
  });
  const idleWith = async (choice) => {
    await page.selectOption('#player2 select', choice);
    await page.waitForTimeout(1000);
    const before = await page.evaluate(() => window.wakes);
    const idle = await busy(page, cdp, () => page.waitForTimeout(5000));
    const wakes = (await page.evaluate(() => window.wakes)) - before;
    console.log(`idle, player 2 ${choice.padEnd(6)} ${idle.span.toFixed(1)} s: ${(idle.used * 1000).toFixed(1)} ms ` +
                `busy = ${idle.percent.toFixed(2)} %, ${wakes} wake-ups`);
  };
  await idleWith('person');
  await idleWith('normal');
  const key = async (code, key, vk) => {
    const event = {code, key, windowsVirtualKeyCode: vk, location: 3};
    await cdp.send('Input.dispatchKeyEvent', {type: 'keyDown', text: key, ...event});
    await cdp.send('Input.dispatchKeyEvent', {type: 'keyUp', ...event});
  };
  const hitViewOpen = () => page.evaluate(() => [...document.querySelectorAll('canvas')].some(
    (c) => c.width / devicePixelRatio === 337 && !c.parentElement.hidden));
  // A straight pitch's 0.69 s to its call, swung at by the computer or by a
  // person (Space a third of a second after the key): what the computer's
  // looks and its timer add to a turn at bat.
  const spent = {person: [], normal: []};
  for (let round = 0; round < 10; ++round) {
    for (const choice of ['person', 'normal']) {
      await page.selectOption('#player2 select', choice);
      await page.waitForTimeout(300);
      const pitch = await busy(page, cdp, async () => {
        await key('Numpad8', '8', 104);
        if (choice === 'person') {
          await page.waitForTimeout(330);
          await cdp.send('Input.dispatchKeyEvent', {type: 'keyDown', code: 'Space', key: ' ', text: ' ',
                                                    windowsVirtualKeyCode: 32});
          await cdp.send('Input.dispatchKeyEvent', {type: 'keyUp', code: 'Space', key: ' ', windowsVirtualKeyCode: 32});
          await page.waitForTimeout(420);
        } else {
          await page.waitForTimeout(750);
        }
      });
      spent[choice].push(pitch.used * 1000);
      await page.waitForTimeout(600);
      if (await hitViewOpen()) {
        await page.waitForTimeout(3500);
        const box = await page.evaluate(() => {
          const canvas = [...document.querySelectorAll('canvas')].find((c) => c.width / devicePixelRatio === 337);
          const r = canvas.getBoundingClientRect();
          return {x: r.x + r.width / 2, y: r.y + r.height / 2};
        });
        await page.mouse.click(box.x, box.y);
        await page.waitForTimeout(300);
      }
      if (await page.evaluate(() => !!document.querySelector('dialog[open]'))) await page.keyboard.press('Enter');
    }
  }
  const median = (values) => values.sort((a, b) => a - b)[Math.floor(values.length / 2)];
  const person = median(spent.person), computer = median(spent.normal);
  const change = (100 * (computer - person)) / person;
  console.log(`a pitch in flight and a swing, median of 10: a person's ${person.toFixed(1)} ms busy, the computer's ` +
              `${computer.toFixed(1)} ms (${change >= 0 ? '+' : ''}${change.toFixed(1)} %)`);
  await page.close();
}

{
  console.log('== Transfer size (gzip -9 of every file the site serves)');
  // The two-screen files (two/) load only when a player chooses a friend
  // or opens an invitation: apart from the first load.
  let raw = 0, packed = 0, later = 0, laterPacked = 0;
  const walk = (folder) => readdirSync(folder).flatMap((name) => {
    const path = join(folder, name);
    return statSync(path).isDirectory() ? walk(path) : [path];
  });
  for (const path of walk(site).sort()) {
    const data = readFileSync(path);
    const gz = gzipSync(data, {level: 9}).length;
    const two = path.slice(site.length + 1).startsWith('two/');
    if (two) {
      later += data.length;
      laterPacked += gz;
    } else {
      raw += data.length;
      packed += gz;
    }
    console.log(`${path.slice(site.length + 1).padEnd(36)} ${String(data.length).padStart(8)} B  gzip ${String(gz).padStart(7)} B`);
  }
  console.log(`${'first load (all but two/)'.padEnd(36)} ${String(raw).padStart(8)} B  gzip ${String(packed).padStart(7)} B`);
  console.log(`${'two screens (two/, when chosen)'.padEnd(36)} ${String(later).padStart(8)} B  gzip ${String(laterPacked).padStart(7)} B`);
}

{
  console.log('== Navigation to the first drawn frame, local server, 10 fresh visits');
  const times = [];
  for (let i = 0; i < 10; ++i) {
    const context = await browser.newContext();
    const page = await context.newPage();
    await page.goto(url);
    await page.waitForFunction(() => performance.getEntriesByName('diamond-first-frame').length > 0);
    times.push(await page.evaluate(() => performance.getEntriesByName('diamond-first-frame')[0].startTime));
    await context.close();
  }
  times.sort((a, b) => a - b);
  console.log(`runs (ms): ${times.map((t) => t.toFixed(0)).join(' ')}`);
  console.log(`median: ${((times[4] + times[5]) / 2).toFixed(0)} ms`);
}

await browser.close();
server.close();
