// site_server.mjs: serves the built site, and the tests' own pages under
// /tests/, over HTTP on a free port of 127.0.0.1, as any static host would.
import {once} from 'node:events';
import {createServer} from 'node:http';
import {readFile} from 'node:fs/promises';
import {extname, join, normalize} from 'node:path';

const content_types = {
  '.html': 'text/html',
  '.js': 'text/javascript',
  '.css': 'text/css',
  '.wasm': 'application/wasm',
};

// Starts serving; resolves to {url, close()} once it listens.
export async function serve_site(site_folder, test_pages_folder) {
  const server = createServer(async (request, response) => {
    const path = normalize(decodeURIComponent(new URL(request.url, 'http://x').pathname));
    const file = path.startsWith('/tests/')
        ? join(test_pages_folder, path.slice('/tests/'.length))
        : join(site_folder, path === '/' ? 'index.html' : path);
    try {
      const body = await readFile(file);
      response.writeHead(200, {'Content-Type': content_types[extname(file)] ?? 'application/octet-stream'}).end(body);
    } catch {
      response.writeHead(404).end();
    }
  });
  await once(server.listen(0, '127.0.0.1'), 'listening');
  return {url: `http://127.0.0.1:${server.address().port}/`, close: () => new Promise((done) => server.close(done))};
}
