// The main flow on a phone: open the 3264 x 2448 photo, edit it with the
// panels of every kind of control, undo, redo, reload, save, and check the
// saved file against vantrel apply of the session's own commands.
import { expect, test, type Page } from '@playwright/test';
import { execFileSync } from 'node:child_process';
import { copyFileSync, mkdirSync, readFileSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { done, openPanel, serverForTheseTests, shot, shotsDir, vantrel } from './server';

const server = serverForTheseTests(['iphone_hdr_NO.jpg', 'kodim23.png']);
test.beforeAll(() => mkdirSync(shotsDir, { recursive: true }));

const sizeLabel = (page: Page) => page.locator('[data-size-label]');

// The sizes of two picture files and their mean difference per colour channel,
// decoded and compared by the browser.
async function compare(page: Page, files: string[]): Promise<{ sizes: number[][]; mean: number }> {
  const urls = files.map((f) => `data:image/${f.endsWith('.png') ? 'png' : 'jpeg'};base64,${readFileSync(f).toString('base64')}`);
  return page.evaluate(async (sources) => {
    const data: Uint8ClampedArray[] = [];
    const sizes: number[][] = [];
    for (const src of sources) {
      const img = new Image();
      img.src = src;
      await img.decode();
      const canvas = document.createElement('canvas');
      canvas.width = img.naturalWidth;
      canvas.height = img.naturalHeight;
      const g = canvas.getContext('2d')!;
      g.drawImage(img, 0, 0);
      sizes.push([canvas.width, canvas.height]);
      data.push(g.getImageData(0, 0, canvas.width, canvas.height).data);
    }
    if (data[0].length !== data[1].length) return { sizes, mean: Infinity };
    // Where the expected picture is transparent (the corners a rotation
    // opens), the JPEG holds its flattened background: only opaque pixels count.
    let total = 0;
    let counted = 0;
    const [want, got] = data;
    for (let i = 0; i < want.length; i += 4) {
      if (want[i + 3] < 250) continue;
      for (let c = 0; c < 3; c++) total += Math.abs(want[i + c] - got[i + c]);
      counted += 3;
    }
    return { sizes, mean: counted / 3 > want.length / 8 ? total / counted : -counted / 3 };
  }, urls);
}

test('a new user opens, edits, undoes, reloads and saves a photo', async ({ page }) => {
  const errors: string[] = [];
  page.on('pageerror', (e) => errors.push(e.message));
  await page.goto(server.url);
  await expect(page.locator('[data-action=library]')).toBeVisible();
  await shot(page, '01-main-menu');

  await page.click('[data-action=library]');
  const thumbnails = page.locator('.grid img');
  await expect(thumbnails).toHaveCount(2);
  // The thumbnails the server made, shown.
  await expect
    .poll(() => thumbnails.evaluateAll((all) => all.every((i) => (i as HTMLImageElement).naturalWidth > 0)), { timeout: 30_000 })
    .toBe(true);
  await shot(page, '02-library');
  await page.click('[data-ref="iphone_hdr_NO.jpg"]');
  await expect(page.locator('.viewer img')).toBeVisible();
  await shot(page, '03-photo-view');

  // The size sheet of the 3264 x 2448 photo.
  await page.click('[data-action=edit]');
  const sheet = page.locator('[data-question]');
  await expect(sheet.locator('h2')).toHaveText('Edit at which size?');
  await expect(sheet.locator('button')).toHaveText([
    'Full size 2993 x 2245',
    'Large 2498 x 1874',
    'Medium 1878 x 1409',
    'Small 904 x 678',
    'Cancel',
  ]);
  await shot(page, '04-size-sheet');
  await sheet.locator('button', { hasText: 'Small' }).click();
  await expect(sizeLabel(page)).toHaveText('904 x 678');
  await expect(page.locator('[data-action=undo]')).toBeDisabled();
  await expect(page.locator('[data-action=redo]')).toBeDisabled();
  // The working picture itself is shown, not only its size.
  await expect
    .poll(() => page.locator('.stage img').evaluate((img: HTMLImageElement) => img.complete && img.naturalWidth))
    .toBeGreaterThan(0);
  await shot(page, '05-edit-screen');

  // A curve point dragged up, applied.
  await page.click('[data-menu=colour]');
  await shot(page, '06-menu');
  await page.click('[data-panel=STR_MENU_CURVE]');
  const curve = page.locator('canvas.curve');
  await expect(curve).toBeVisible();
  // The panel slides in: its place is known once the slide is over.
  await curve.evaluate((el) => Promise.all(el.closest('.panel')!.getAnimations().map((a) => a.finished)));
  const box = (await curve.boundingBox())!;
  const x = box.x + (box.width * 127) / 256;
  const y = box.y + box.height - (box.height * 127) / 256;
  await page.mouse.move(x, y);
  await page.mouse.down();
  await page.mouse.move(x, y - box.height / 6, { steps: 6 });
  await page.mouse.up();
  await page.waitForTimeout(500);
  await shot(page, '07-panel-curve');
  await done(page);
  await expect(page.locator('[data-action=undo]')).toBeEnabled();

  // Looks: a swipe across the photo steps to the next look.
  await openPanel(page, 'filter', 'STR_MENU_LOMO');
  await expect(page.locator('[data-look="0"][aria-selected=true]')).toBeVisible();
  const stage = (await page.locator('canvas.overlay').boundingBox())!;
  const mid = stage.y + stage.height / 2;
  await page.mouse.move(stage.x + stage.width * 0.8, mid);
  await page.mouse.down();
  await page.mouse.move(stage.x + stage.width * 0.2, mid, { steps: 5 });
  await page.mouse.up();
  await expect(page.locator('[data-look="1"][aria-selected=true]')).toBeVisible();
  await page.waitForTimeout(800);
  await shot(page, '08-panel-looks');
  await done(page);

  // A 16:9 crop.
  await openPanel(page, 'edit', 'STR_MENU_CLIP');
  await page.click('[data-control=proportion] >> text="16 : 9"');
  await page.waitForTimeout(300);
  await shot(page, '09-panel-crop');
  await done(page);
  const [cw, ch] = (await sizeLabel(page).innerText()).split(' x ').map(Number);
  expect(Math.abs(cw / ch - 16 / 9)).toBeLessThan(0.02);

  // Rotation with snapping: 20 degrees snaps to 15.
  await openPanel(page, 'edit', 'STR_MENU_ROTATE');
  await page.click('[data-control=snap]');
  await expect(page.locator('[data-control=snap]')).toHaveAttribute('aria-checked', 'true');
  const angle = page.locator('input[data-control=angle]');
  await angle.fill('20');
  await expect(page.locator('label.control', { has: angle }).locator('output')).toHaveText('15');
  await shot(page, '10-panel-rotate');
  await done(page);
  const [rw, rh] = (await sizeLabel(page).innerText()).split(' x ').map(Number);
  expect(rw).toBeGreaterThan(cw);
  expect(rh).toBeGreaterThan(ch);

  // Slider moves on a realtime panel, for the figures; then Back.
  await openPanel(page, 'colour', 'STR_MENU_BRIGHTNESS');
  const brightness = page.locator('input[data-control=brightness]');
  await brightness.focus();
  for (let i = 0; i < 12; i++) {
    await page.keyboard.press('ArrowRight');
    await page.waitForTimeout(120);
  }
  await page.waitForTimeout(500);
  await page.click('[data-action=back]');
  await expect(page.locator('.panel')).toHaveCount(0);

  const timings = await page.evaluate(() => (window as unknown as { vantrelTimings: unknown }).vantrelTimings);
  // The figures are reported, not asserted: this machine's load decides them.
  writeFileSync(join(shotsDir, 'figures.json'), JSON.stringify(timings));
  console.log('figures', JSON.stringify(timings));

  // Undo and redo: the buttons follow the history's position.
  await page.click('[data-action=undo]');
  await expect(page.locator('[data-action=redo]')).toBeEnabled();
  await expect(sizeLabel(page)).toHaveText(`${cw} x ${ch}`);
  await page.click('[data-action=redo]');
  await expect(page.locator('[data-action=redo]')).toBeDisabled();
  await expect(sizeLabel(page)).toHaveText(`${rw} x ${rh}`);

  // A reload finds the edit as it was.
  await page.reload();
  await expect(sizeLabel(page)).toHaveText(`${rw} x ${rh}`);
  await expect(page.locator('[data-action=undo]')).toBeEnabled();
  await expect(page.locator('[data-action=redo]')).toBeDisabled();

  // The session's commands, before the save ends the session.
  const journal = JSON.parse(readFileSync(join(server.home, 'EditJournal.json'), 'utf8'));
  const commands = journal.history.slice(0, journal.commandIndex).flat();
  expect(commands.map((c: { cmd: string }) => c.cmd)).toEqual(expect.arrayContaining(['CMD_CURVE', 'CMD_CLIP', 'CMD_ROTATE']));
  const commandsFile = join(server.root, 'commands.json');
  writeFileSync(commandsFile, JSON.stringify({ commands }));
  const expected = join(server.root, 'expected.png');
  execFileSync(vantrel, ['apply', join(server.home, 'OriginalImageCache'), expected, '--commands', commandsFile], { timeout: 60_000 });

  await page.click('[data-action=save]');
  await expect(page.locator('[data-action=download]')).toBeVisible({ timeout: 30_000 });
  await shot(page, '11-saved');
  const href = (await page.locator('[data-action=download]').getAttribute('href'))!;
  const reference = new URL(href, server.url).searchParams.get('ref')!;
  const saved = join(server.library, reference);
  copyFileSync(saved, join(shotsDir, 'saved-photo.jpg'));
  copyFileSync(expected, join(shotsDir, 'saved-expected.png'));
  writeFileSync(join(shotsDir, 'saved-commands.json'), JSON.stringify({ commands }, null, 1));
  const { sizes, mean } = await compare(page, [expected, saved]);
  expect(sizes[1]).toEqual(sizes[0]);
  // JPEG's loss only.
  expect(mean).toBeGreaterThanOrEqual(0);
  expect(mean).toBeLessThan(3);
  expect(errors).toEqual([]);
});
