// Sharing from the edit screen to a fake Sina Weibo on 127.0.0.1: the
// login in a new tab, the share page, and a post whose signature the fake
// checks with oauthlib.
import { expect, test } from '@playwright/test';
import { type ChildProcess } from 'node:child_process';
import { mkdirSync, readdirSync, readFileSync } from 'node:fs';
import { join } from 'node:path';
import { done, launch, openPanel, openToEdit, serverForTheseTests, shot, sourceDir } from './server';

// Debian's Python, which has python3-oauthlib.
const python = process.env.VANTREL_PYTHON ?? '/usr/bin/python3';
const fakeProvider = join(sourceDir, 'tests/share/fake_provider.py');

const server = serverForTheseTests(['kodim23.png']);
let fake: ChildProcess;
let records: string;

// Starts the fake provider, which writes a sharing.json pointing at itself
// into the editor's documents folder; its login callback is the editor's.
async function startFakeProvider(): Promise<void> {
  records = join(server.root, 'records');
  mkdirSync(records);
  const args = ['--callback', `${server.url}handleOAuthLogin`, '--record', records, '--lifetime', '90', '--sharing-json', join(server.home, 'sharing.json')];
  fake = (await launch(python, [fakeProvider, ...args], /\d+\n/)).child;
}

function recorded(): { path: string; verified: boolean | null; fields: Record<string, string> }[] {
  return readdirSync(records)
    .filter((name) => name.endsWith('.json'))
    .sort()
    .map((name) => JSON.parse(readFileSync(join(records, name), 'utf8')));
}

test.beforeAll(startFakeProvider);
test.afterAll(() => fake?.kill());

test('log in to Sina Weibo in a new tab and post the photo with a text', async ({ page, context }) => {
  await openToEdit(page, server, 'kodim23.png', '768 x 512');
  // An edit first: a look applied.
  await openPanel(page, 'filter', 'STR_MENU_LOMO');
  await page.click('[data-look="1"]');
  await expect(page.locator('[data-look="1"][aria-selected=true]')).toBeVisible();
  await done(page);
  await expect(page.locator('[data-action=undo]')).toBeEnabled();

  await page.click('[data-action=share]');
  const login = context.waitForEvent('page');
  await page.click('[data-share="1"]');
  // The authorisation page grants at once and sends the tab to the editor.
  const tab = await login;
  await expect(tab.getByText('go back to Vantrel')).toBeVisible();
  await tab.close();

  const text = page.getByLabel('Text to share');
  await expect(page.locator('[data-share-title]')).toHaveText('新浪微博');
  await expect(text).toHaveValue('Edited with Vantrel');
  await expect(page.locator('img.share-thumb')).toHaveJSProperty('complete', true);
  await shot(page, '20-share');
  await text.pressSequentially('Hi');
  await expect(text).toHaveValue('Hi');
  await text.pressSequentially(' from Vantrel');
  await page.click('[data-action=share-send]');
  const alert = page.locator('[data-question]');
  await expect(alert).toContainText('Shared');
  await alert.locator('[data-answer]').click();

  const upload = recorded().filter((r) => r.path.includes('statuses/upload.json'));
  expect(upload).toHaveLength(1);
  expect(upload[0].verified).toBe(true);
  expect(upload[0].fields.status).toBe('Hi from Vantrel');
  await page.click('[data-action=share-close]');
  await expect(page.locator('.share-page')).toBeHidden();

  // The settings screen's logout row forgets the stored login.
  const store = join(server.home, 'UserDefaults.plist');
  expect(readFileSync(store, 'latin1')).toContain('kToken_Sina');
  await page.click('[data-action=save]');
  await page.locator('[data-question] [data-answer]').first().click();
  await page.click('[data-action=close]');
  await expect(page.locator('[data-action=edit]')).toBeVisible();
  // From the photo viewer straight to the settings, as the main menu's row does.
  await page.evaluate(() => fetch('/api/phase', { method: 'POST', headers: { 'Content-Type': 'application/json' }, body: '{"phase":4}' }));
  await page.locator('button.row', { hasText: 'Sign out of sharing accounts' }).click();
  await expect.poll(() => readFileSync(store, 'latin1').includes('kToken_Sina')).toBe(false);
});
