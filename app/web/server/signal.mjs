// The signalling server: two pages that play one game on two screens meet
// here to set up their peer connection, and then talk directly. A room is
// named by the invitation's token and holds two members, the host and its
// friend; a message from one member goes to the other and nowhere else.
// The server reads nothing of the messages but that each is a JSON object.
import {WebSocketServer} from 'ws';

// Close codes the page explains to its player (app/web/two_screens).
export const REFUSED = {malformed: 4000, full: 4001, unknown: 4004, tooMany: 4008, busy: 4013};

const TOKEN = /^[A-Za-z0-9_-]{22}$/;  // 128 bits, base64url
const ROLES = ['host', 'guest'];

export function createSignalling({
  maxMessage = 16 * 1024,  // bytes: an offer with its candidates fits many times over
  burst = 40,              // messages a member may send at once
  perSecond = 5,           // and on average after that
  idleMs = 10 * 60 * 1000,  // a room nobody is in is forgotten after this
  maxRooms = 100_000,
  now = () => Date.now(),
} = {}) {
  const rooms = new Map();  // token: {host, guest, lastUsed}
  const sockets = new WebSocketServer({noServer: true, maxPayload: maxMessage});

  function refuse(socket, code, reason) {
    socket.close(code, reason);
  }

  function tell(socket, message) {
    if (socket && socket.readyState === socket.OPEN) socket.send(JSON.stringify(message));
  }

  function join(socket, url) {
    const token = url.searchParams.get('room') || '', role = url.searchParams.get('role') || '';
    if (url.pathname !== '/signal' || !TOKEN.test(token) || !ROLES.includes(role))
      return refuse(socket, REFUSED.malformed, 'malformed join');
    let room = rooms.get(token);
    if (!room) {
      // Only the host makes a room; a friend's link to none is stale or made up.
      if (role !== 'host') return refuse(socket, REFUSED.unknown, 'unknown room');
      if (rooms.size >= maxRooms) return refuse(socket, REFUSED.busy, 'server busy');
      room = {host: null, guest: null, lastUsed: now()};
      rooms.set(token, room);
    }
    if (room[role]) return refuse(socket, REFUSED.full, 'room full');
    room[role] = socket;
    room.lastUsed = now();
    const other = room[role === 'host' ? 'guest' : 'host'];
    if (other) {
      tell(other, {peer: 'here'});
      tell(socket, {peer: 'here'});
    }

    let allowance = burst, counted = now();
    socket.on('message', (data, binary) => {
      const at = now();
      allowance = Math.min(burst, allowance + (at - counted) / 1000 * perSecond);
      counted = at;
      if (--allowance < 0) return refuse(socket, REFUSED.tooMany, 'too many messages');
      room.lastUsed = at;
      let message;
      try {
        message = binary ? null : JSON.parse(data.toString());
      } catch {
        message = null;
      }
      if (!message || typeof message !== 'object' || Array.isArray(message)) return;
      tell(room[role === 'host' ? 'guest' : 'host'], {from: 'peer', data: message});
    });
    socket.on('close', () => {
      if (room[role] !== socket) return;
      room[role] = null;
      room.lastUsed = now();
      tell(room[role === 'host' ? 'guest' : 'host'], {peer: 'left'});
    });
    socket.on('error', () => {});
  }

  // Forgets the rooms nobody has been in for idleMs.
  function sweep() {
    const cutoff = now() - idleMs;
    for (const [token, room] of rooms)
      if (!room.host && !room.guest && room.lastUsed <= cutoff) rooms.delete(token);
  }
  const sweeper = setInterval(sweep, Math.min(idleMs, 60_000));
  sweeper.unref();

  return {
    rooms,
    sweep,
    // For an HTTP server's 'upgrade' event.
    upgrade(request, socket, head) {
      let url;
      try {
        url = new URL(request.url, 'http://host');
      } catch {
        return socket.destroy();
      }
      sockets.handleUpgrade(request, socket, head, (ws) => join(ws, url));
    },
    close() {
      clearInterval(sweeper);
      for (const ws of sockets.clients) ws.terminate();
      sockets.close();
    },
  };
}
