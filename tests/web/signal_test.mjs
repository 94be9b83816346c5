// The signalling server on its own, with real WebSockets and its clock in
// the test's hands: rooms of two that pass messages only between their
// members, clear refusals, limits on size and rate, and rooms forgotten
// once unused.
// Usage: node signal_test.mjs
import {createRequire} from 'node:module';

import {checker} from './checks.mjs';
import {serve} from '../../app/web/server/serve.mjs';
import {REFUSED} from '../../app/web/server/signal.mjs';

const {WebSocket} = createRequire(new URL('../../app/web/server/', import.meta.url))('ws');
const {ok, check, done} = checker('the signalling server');

let clock = 0;
const server = await serve('.', 0, '127.0.0.1', {now: () => clock, maxMessage: 1024, burst: 5, perSecond: 1,
                                                 idleMs: 600_000});
const url = `ws://127.0.0.1:${server.address().port}`;
const tokens = ['A', 'B'].map((c) => c.repeat(22));

// A member: what it was sent, and how it was closed.
function join(query, path = '/signal') {
  return new Promise((resolve) => {
    const member = {got: [], closed: null, socket: new WebSocket(url + path + '?' + query)};
    member.socket.on('message', (data) => member.got.push(JSON.parse(String(data))));
    member.socket.on('close', (code) => { member.closed = code; });
    member.socket.on('open', () => resolve(member));
    member.socket.on('error', () => resolve(member));
    member.socket.on('close', () => resolve(member));
  });
}
const room = (token, role) => join(`room=${token}&role=${role}`);
const settle = () => new Promise((resolve) => setTimeout(resolve, 100));

try {
  // Refusals, each with its code.
  const refusals = [
    [await room(tokens[0], 'guest'), REFUSED.unknown, 'a friend to a room no host made'],
    [await room('short', 'host'), REFUSED.malformed, 'a token under 128 bits'],
    [await room(tokens[0], 'judge'), REFUSED.malformed, 'a role that is neither'],
    [await join(`room=${tokens[0]}&role=host`, '/other'), REFUSED.malformed, 'another path'],
  ];
  await settle();
  for (const [member, code, what] of refusals) check(member.closed === code, `${what}: closed ${member.closed}, not ${code}`);
  ok('malformed joins and a join to an unknown room are refused, each with its code');

  // Two rooms of two: a message reaches the other member of its own room only.
  const [hostA, guestA] = [await room(tokens[0], 'host'), await room(tokens[0], 'guest')];
  const [hostB, guestB] = [await room(tokens[1], 'host'), await room(tokens[1], 'guest')];
  const third = await room(tokens[0], 'guest');
  await settle();
  check(third.closed === REFUSED.full, `a third member was not refused as the room is full (${third.closed})`);
  hostA.socket.send(JSON.stringify({description: {type: 'offer'}}));
  hostA.socket.send('not JSON');
  await settle();
  check(JSON.stringify(guestA.got) === '[{"peer":"here"},{"from":"peer","data":{"description":{"type":"offer"}}}]',
        `the friend in room A got ${JSON.stringify(guestA.got)}`);
  check(guestB.got.length === 1 && hostA.got.length === 1, 'a message reached past its room, or back to its sender');
  ok('a room holds two: a third is refused, and a message reaches only the other member');

  // Limits: an oversized message, and a flood, close their sender alone.
  hostB.socket.send(JSON.stringify({pad: 'x'.repeat(2000)}));
  for (let i = 0; i < 6; ++i) guestA.socket.send('{}');
  await settle();
  check(hostB.closed === 1009 && guestA.closed === REFUSED.tooMany,
        `oversized: ${hostB.closed}; flood: ${guestA.closed}`);
  check(hostA.got.at(-1)?.peer === 'left' && hostA.got.filter((m) => m.from).length === 5,
        `the host of room A got ${JSON.stringify(hostA.got)}`);
  clock += 5000;  // the allowance refills
  const hostB2 = await room(tokens[1], 'host');
  await settle();
  hostB2.socket.send('{"candidate":{}}');
  await settle();
  check(guestB.got.at(-1)?.data?.candidate !== undefined, 'room B was not usable after its host was closed');
  ok('an oversized message and a flood close their sender; the rest of its room and others go on');

  // Rooms are forgotten ten minutes after their last member left.
  for (const member of [hostA, hostB2, guestB]) member.socket.close();
  await settle();
  clock += 599_000;
  server.signalling.sweep();
  check(server.signalling.rooms.size === 2, `${server.signalling.rooms.size} rooms left after 599 s`);
  clock += 1000;
  server.signalling.sweep();
  check(server.signalling.rooms.size === 0, `${server.signalling.rooms.size} rooms left after 600 s`);
  ok('rooms nobody is in are kept 599 s and forgotten at 600 s');
} finally {
  server.close();
}
done();
