// Starts `vantrel serve` on a fresh library and documents folder, on
// 127.0.0.1 and a free port, and stops it at the end; and the steps the
// browser tests share.
import { expect, test, type Page } from '@playwright/test';
import { spawn, type ChildProcess } from 'node:child_process';
import { copyFileSync, mkdtempSync, mkdirSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

export const sourceDir = resolve(dirname(fileURLToPath(import.meta.url)), '../..');
export const buildDir = process.env.VANTREL_BUILD_DIR ?? join(sourceDir, 'build');
export const vantrel = join(buildDir, 'vantrel');
export const photos = resolve(sourceDir, process.env.VANTREL_TESTDATA_DIR ?? '../shared/testdata', 'photos');
export const shotsDir = join(buildDir, 'screenshots');

export type Server = Awaited<ReturnType<typeof startServer>>;

// Starts a program and waits (15 seconds at most) for the first match of
// `ready` in what it prints.
export async function launch(program: string, args: string[], ready: RegExp, env = process.env) {
  const child: ChildProcess = spawn(program, args, { env, stdio: ['ignore', 'pipe', 'pipe'] });
  let output = '';
  child.stderr!.on('data', (d) => (output += d));
  const found = await new Promise<string>((done, fail) => {
    const timer = setTimeout(() => fail(new Error(`${program} did not start:\n${output}`)), 15_000);
    child.stdout!.on('data', (d) => {
      output += d;
      const match = ready.exec(output);
      if (match) {
        clearTimeout(timer);
        done(match[0]);
      }
    });
    child.on('exit', () => fail(new Error(`${program} stopped:\n${output}`)));
  });
  return { child, found, output: () => output };
}

export async function startServer(names: string[], extra: string[] = []) {
  const root = mkdtempSync(join(tmpdir(), 'vantrel-e2e-'));
  const library = join(root, 'library');
  const home = join(root, 'home');
  mkdirSync(library);
  for (const name of names) copyFileSync(join(photos, name), join(library, name));
  const env = { ...process.env, VANTREL_HOME: home, XDG_CONFIG_HOME: join(root, 'config'), VANTREL_LAN_BIND: '127.0.0.1' };
  const args = ['serve', '--library', library, '--port', '0', ...extra];
  const { child, found: url, output } = await launch(vantrel, args, /http:\/\/[^\s]+/, env);
  return {
    url,
    root,
    library,
    home,
    output,
    stop: () =>
      new Promise<number | null>((done) => {
        if (child.exitCode !== null) return done(child.exitCode);
        const timer = setTimeout(() => child.kill('SIGKILL'), 10_000);
        child.on('exit', (code) => {
          clearTimeout(timer);
          rmSync(root, { recursive: true, force: true });
          done(code);
        });
        child.kill('SIGTERM');
      }),
  };
}

// A server for the tests of one file: started before the first of them and
// stopped, cleanly, after the last.
export function serverForTheseTests(names: string[]): Server {
  const server = {} as Server;
  test.beforeAll(async () => {
    Object.assign(server, await startServer(names));
  });
  test.afterAll(async () => {
    expect(await server.stop()).toBe(0);
  });
  return server;
}

export const shot = (page: Page, name: string) => page.screenshot({ path: join(shotsDir, `${name}.png`) });

// From the main menu to the edit screen of `photo`, which is small enough
// to open at its own size, without the size sheet.
export async function openToEdit(page: Page, server: Server, photo: string, size: string): Promise<void> {
  await page.goto(server.url);
  await page.click('[data-action=library]');
  await page.click(`[data-ref="${photo}"]`);
  await page.click('[data-action=edit]');
  await expect(page.locator('[data-size-label]')).toHaveText(size);
}

export async function openPanel(page: Page, menu: string, title: string): Promise<void> {
  await page.click(`[data-menu=${menu}]`);
  await page.click(`[data-panel=${title}]`);
  await expect(page.locator(`[data-panel-open=${title}]`)).toBeVisible();
}

// Done on the open panel: the panel goes and its work ends.
export async function done(page: Page): Promise<void> {
  await page.click('[data-action=done]');
  await expect(page.locator('.panel')).toHaveCount(0);
  await expect(page.locator('.wait')).toHaveCount(0);
}
