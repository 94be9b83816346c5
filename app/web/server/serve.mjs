// The game's site and its signalling server, on one origin: serve(folder,
// port) resolves to the running server (its signalling as .signalling, or
// none when `signalling` is false, as on a plain static host); run as a
// program it serves a folder until stopped.
import {createServer} from 'node:http';
import {readFile} from 'node:fs/promises';
import {extname, join, normalize} from 'node:path';
import {pathToFileURL} from 'node:url';

import {createSignalling} from './signal.mjs';

const TYPES = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.wasm': 'application/wasm',
  '.ttf': 'font/ttf',
  '.png': 'image/png',
  '.svg': 'image/svg+xml',
  '.webmanifest': 'application/manifest+json',
};

export function serve(folder, port = 0, host = '127.0.0.1', signalling = {}) {
  const server = createServer(async (request, response) => {
    const path = decodeURIComponent(new URL(request.url, 'http://host').pathname);
    const file = normalize(join(folder, path.endsWith('/') ? path + 'index.html' : path));
    if (!file.startsWith(normalize(folder))) {
      response.writeHead(403).end();
      return;
    }
    try {
      const body = await readFile(file);
      response.writeHead(200, {'Content-Type': TYPES[extname(file)] || 'application/octet-stream'});
      response.end(body);
    } catch {
      response.writeHead(404).end();
    }
  });
  if (signalling !== false) {
    server.signalling = createSignalling(signalling);
    server.on('upgrade', (request, socket, head) => server.signalling.upgrade(request, socket, head));
    server.on('close', () => server.signalling.close());
  }
  return new Promise((resolve) => server.listen(port, host, () => resolve(server)));
}

if (process.argv[1] && import.meta.url === pathToFileURL(process.argv[1]).href) {
  const [folder, port = '8064', host = '127.0.0.1'] = process.argv.slice(2);
  const server = await serve(folder, Number(port), host);
  console.log(`Playing at http://127.0.0.1:${server.address().port}/ (Ctrl+C stops)`);
}
