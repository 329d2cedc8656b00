// What a stranger can do: without the access token in LAN mode nothing is
// answered; hostile uploads get a clear message and the editor goes on.
import { expect, test } from '@playwright/test';
import { crc32 } from 'node:zlib';
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { photos, serverForTheseTests, startServer } from './server';

// The server of the hostile uploads; the LAN mode starts its own.
const server = serverForTheseTests(['kodim23.png']);

test('in LAN mode a request without the token is refused', async ({ request }) => {
  const lan = await startServer(['kodim23.png'], ['--lan']);
  try {
    const link = new URL(lan.url);
    expect(link.searchParams.get('token')).toBeTruthy();
    const bare = `http://127.0.0.1:${link.port}`;
    for (const path of ['/', '/api/state', '/api/library?offset=0&count=5']) {
      expect((await request.get(bare + path, { maxRedirects: 0 })).status()).toBe(401);
    }
    // The link's token is taken and becomes a cookie.
    const withToken = await request.get(`${bare}/?token=${link.searchParams.get('token')}`, { maxRedirects: 0 });
    expect(withToken.status()).toBe(302);
    expect(withToken.headers()['set-cookie']).toContain('HttpOnly');
  } finally {
    expect(await lan.stop()).toBe(0);
  }
});

test('hostile uploads get a clear message and nothing breaks', async ({ request }) => {
  const upload = (to: string, name: string, data: Buffer) =>
    request.post(`${server.url}api/upload?to=${to}&name=${encodeURIComponent(name)}`, {
      data,
      headers: { 'Content-Type': 'application/octet-stream' },
      timeout: 30_000,
    });
  // A real PNG whose header claims a picture far beyond the size limit.
  const photo = readFileSync(join(photos, 'kodim23.png'));
  const bomb = Buffer.from(photo);
  bomb.writeUInt32BE(60000, 16);
  bomb.writeUInt32BE(60000, 20);
  bomb.writeUInt32BE(crc32(bomb.subarray(12, 29)), 29);
  const cases: { name: string; body: Buffer; status: number; says: RegExp }[] = [
    { name: 'not a picture', body: Buffer.from('<html>hello</html>'), status: 400, says: /not a picture/ },
    { name: 'decompression bomb', body: bomb, status: 400, says: /60000/ },
    { name: 'huge body', body: Buffer.alloc(80 << 20, 1), status: 413, says: /larger than 64 MB/ },
  ];
  for (const c of cases) {
    const reply = await upload('camera', 'x.png', c.body);
    expect(reply.status(), c.name).toBe(c.status);
    expect(String((await reply.json()).error), c.name).toMatch(c.says);
  }
  // The editor still answers, and is still on its main menu.
  const state = await (await request.get(`${server.url}api/state`)).json();
  expect(state.phase).toBe(1);
  expect(state.questions).toEqual([]);

  // A real photo from the device goes into the library under a plain name,
  // and one from the camera opens in the editor.
  const kept = await upload('library', '../My Parrots.png', photo);
  expect(kept.status()).toBe(200);
  expect((await kept.json()).reference).toBe('Uploads/MyParrots.png');
  expect(readFileSync(join(server.library, 'Uploads', 'MyParrots.png')).equals(photo)).toBe(true);
  expect((await upload('camera', 'photo.png', photo)).status()).toBe(200);
  await expect
    .poll(async () => (await (await request.get(`${server.url}api/state`)).json()).edit?.sizeLabel.text, { timeout: 15_000 })
    .toBe('768 x 512');
});
