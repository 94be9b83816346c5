// Figures of two screens in headless Chromium on this machine's loopback:
// the time from an invitation opened to the first shared frame, a press's
// time to its effect on both screens beside the one-keyboard game's, the
// main thread's busy time and the traffic while pitches fly, and the
// signalling server's time and memory for 1,000 rooms. Prints figures;
// never fails on a number.
// Usage: node friend_bench.mjs SITE_DIR
import {fork} from 'node:child_process';
import {readFileSync} from 'node:fs';
import {fileURLToPath} from 'node:url';

import {openTab} from '../../tests/web/browsers.mjs';
import {stampNext, watchCall} from '../../tests/web/checks.mjs';
import {serve} from '../../app/web/server/serve.mjs';

const site = process.argv[2];

function median(values) {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.floor((sorted.length - 1) / 2)];
}
const token = () => Buffer.from(crypto.getRandomValues(new Uint8Array(16))).toString('base64url');

// Every peer connection a page makes, for its statistics.
function init() {
  window.FriendIceServers = [];
  const Original = window.RTCPeerConnection;
  window.peers = [];
  window.RTCPeerConnection = function (...args) {
    const pc = new Original(...args);
    window.peers.push(pc);
    return pc;
  };
  window.RTCPeerConnection.prototype = Original.prototype;
}

async function main() {
  const server = await serve(site);
  const origin = `http://127.0.0.1:${server.address().port}/`;
  const options = {width: 900, height: 700, init,
                   args: ['--allow-loopback-in-peer-connection', '--use-fake-ui-for-media-stream']};
  const host = await openTab('chromium', options), guest = await openTab('chromium', options);
  const drawn = (tab) => tab.poll(() => performance.getEntriesByName('diamond-first-frame').length > 0, 15000);
  const playing = (tab) => tab.poll(() => /^Connected:/.test(document.getElementById('friend-status')?.textContent), 15000);

  console.log('== Joining: from the invitation opened to the first shared frame, loopback, 10 runs');
  const joins = [];
  for (let run = 0; run < 10; ++run) {
    // Each run loads both pages afresh: a link that differs only after
    // its "#" would not.
    const room = token();
    for (const tab of [host, guest]) await tab.goto('about:blank');
    await host.goto(`${origin}#host=${room}`);
    await host.poll(() => document.getElementById('friend-status')?.textContent === 'Waiting for your friend…', 10000);
    await guest.goto(`${origin}#join=${room}`);
    await drawn(guest);
    joins.push(await guest.evaluate(() => performance.getEntriesByName('diamond-first-frame')[0].startTime));
  }
  console.log(`median ${median(joins).toFixed(0)} ms (fastest ${Math.min(...joins).toFixed(0)}, ` +
              `slowest ${Math.max(...joins).toFixed(0)})`);

  // A pitch from the host's keypad 8: its key-down (as the page stamped it)
  // to the ball first drawn off the mound, on each screen, on one clock.
  await playing(host);
  await playing(guest);
  for (const tab of [host, guest]) await watchCall(tab);
  const pitch = async (tabs, presser) => {
    for (const tab of tabs) await tab.evaluate(() => Object.assign(window, {ballLeft: false}));
    await presser.evaluate(stampNext, 'keydown');
    await presser.key('Numpad8');
    for (const tab of tabs) await tab.poll(() => window.ballLeft, 3000);
    const pressed = await presser.evaluate(() => performance.timeOrigin + window.stampedAt);
    const shown = [];
    for (const tab of tabs) shown.push((await tab.evaluate(() => performance.timeOrigin + window.ballLeftAt)) - pressed);
    for (const tab of tabs) await tab.poll(() => window.callShown, 4000);
    return shown;
  };
  const busy = async (tab, action) => {
    await tab.cdp.send('Performance.enable');
    const taskTime = async () =>
      (await tab.cdp.send('Performance.getMetrics')).metrics.find((m) => m.name === 'TaskDuration').value;
    const start = await taskTime(), began = Date.now();
    await action();
    return (100 * ((await taskTime()) - start)) / ((Date.now() - began) / 1000);
  };
  const transfer = (tab) => tab.evaluate(async () => {
    let payload = 0, wire = 0;
    for (const report of (await window.peers.at(-1).getStats()).values()) {
      if (report.type === 'data-channel') payload += report.bytesSent;
      if (report.type === 'transport') wire += report.bytesSent;
    }
    return {payload, wire, at: performance.now()};
  });

  console.log('== Ten pitches on two screens (the host pitches, the friend lets them go)');
  const before = await transfer(host);
  const toOwn = [], toOther = [];
  const twoBusy = await busy(host, async () => {
    for (let i = 0; i < 10; ++i) {
      const [own, other] = await pitch([host, guest], host);
      toOwn.push(own);
      toOther.push(other);
    }
  });
  const after = await transfer(host);
  const seconds = (after.at - before.at) / 1000;
  console.log(`press to effect, median: the presser's screen ${median(toOwn).toFixed(1)} ms, ` +
              `the other screen ${median(toOther).toFixed(1)} ms`);
  console.log(`host's main thread busy ${twoBusy.toFixed(2)} %`);
  console.log(`host's traffic out over ${seconds.toFixed(1)} s: ${((after.payload - before.payload) / seconds).toFixed(0)} B/s ` +
              `of datagrams, ${((after.wire - before.wire) / seconds).toFixed(0)} B/s on the wire`);
  const idleBefore = await transfer(host);
  const idleBusy = await busy(host, () => host.sleep(5000));
  const idleAfter = await transfer(host);
  console.log(`at rest, 5 s: host's main thread busy ${idleBusy.toFixed(2)} %, traffic out ` +
              `${((idleAfter.wire - idleBefore.wire) / ((idleAfter.at - idleBefore.at) / 1000)).toFixed(0)} B/s on the wire`);
  await guest.close();

  console.log('== Ten pitches on one keyboard, in the same run');
  const alone = await openTab('chromium', options);
  await alone.goto(origin);
  await drawn(alone);
  await watchCall(alone);
  const oneKeyboard = [];
  const oneBusy = await busy(alone, async () => {
    for (let i = 0; i < 10; ++i) oneKeyboard.push((await pitch([alone], alone))[0]);
  });
  console.log(`press to effect, median: ${median(oneKeyboard).toFixed(1)} ms; main thread busy ${oneBusy.toFixed(2)} %`);
  await alone.close();
  await host.close();
  server.close();

  console.log('== The signalling server: 1,000 rooms, a host and a friend in each');
  const child = fork(fileURLToPath(import.meta.url), [site, '--serve'], {stdio: ['ignore', 'ignore', 'inherit', 'ipc']});
  const port = await new Promise((resolve) => child.once('message', resolve));
  const rss = () => Number(/VmRSS:\s+(\d+)/.exec(readFileSync(`/proc/${child.pid}/status`, 'utf8'))[1]);
  const {WebSocket} = (await import('../../app/web/server/node_modules/ws/index.js')).default;
  const join = (room, role) => new Promise((resolve) => {
    const socket = new WebSocket(`ws://127.0.0.1:${port}/signal?room=${room}&role=${role}`);
    socket.once('message', () => resolve(socket));
    if (role === 'host') socket.once('open', () => resolve(socket));
  });
  const rssBefore = rss(), began = performance.now(), sockets = [];
  for (let i = 0; i < 1000; ++i) {
    const room = token();
    sockets.push(await join(room, 'host'));
    sockets.push(await join(room, 'guest'));
  }
  const took = performance.now() - began;
  await new Promise((resolve) => setTimeout(resolve, 500));
  console.log(`1,000 rooms joined one after another in ${took.toFixed(0)} ms (${(took / 1000).toFixed(2)} ms a room); ` +
              `${((rss() - rssBefore) / 1000).toFixed(1)} KB of the server's memory a room, two sockets in it`);
  for (const socket of sockets) socket.terminate();
  child.kill();
}

if (process.argv[3] === '--serve') {
  // The signalling server in a process of its own, so its memory is its own.
  const server = await serve(site, 0);
  process.send(server.address().port);
} else {
  await main();
}
