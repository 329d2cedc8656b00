// The settings and about screens, and the focus-circle editor over the photo.
import { expect, test } from '@playwright/test';
import { done, openPanel, openToEdit, serverForTheseTests, shot } from './server';

const server = serverForTheseTests(['kodim23.png']);

test('settings switches follow the model, and about shows the version', async ({ page }) => {
  await page.goto(server.url);
  await page.click('[data-action=settings]');
  const tips = page.locator('[role=switch]', { hasText: 'Show tips' });
  await expect(tips).toBeVisible();
  const before = await tips.getAttribute('aria-checked');
  await shot(page, '12-settings');
  await tips.click();
  await expect(tips).toHaveAttribute('aria-checked', before === 'true' ? 'false' : 'true');
  await page.click('[data-action=back]');
  await page.click('[data-action=about]');
  await expect(page.getByText(/^Version \d/)).toBeVisible();
  await shot(page, '13-about');
  await page.click('[data-action=close-about]');
  await page.click('[data-action=back]');
  await expect(page.locator('[data-action=library]')).toBeVisible();
});

test('the focus circle follows a drag and grows with a pinch', async ({ page }) => {
  await openToEdit(page, server, 'kodim23.png', '768 x 512');
  await openPanel(page, 'fix', 'STR_MENU_BOKEH');
  const stage = (await page.locator('canvas.overlay').boundingBox())!;
  const [cx, cy] = [stage.x + stage.width / 2, stage.y + stage.height / 2];
  // The focus circle as the server holds it.
  const focus = () =>
    page.evaluate(async () => (await (await fetch('/api/state')).json()).panel.focus as { centerPoint: { x: number }; centerRadius: number });
  const start = (await focus()).centerPoint;
  await page.mouse.move(cx, cy);
  await page.mouse.down();
  await page.mouse.move(cx + stage.width / 5, cy, { steps: 5 });
  await page.mouse.up();
  await expect.poll(async () => (await focus()).centerPoint.x).toBeGreaterThan(start.x + 10);
  // Two fingers spread apart: the focus circle grows.
  const before = (await focus()).centerRadius;
  const touch = await page.context().newCDPSession(page);
  const fingers = (spread: number) => [
    { x: cx - spread, y: cy, id: 1 },
    { x: cx + spread, y: cy, id: 2 },
  ];
  await touch.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: fingers(20) });
  for (const spread of [30, 45, 60]) {
    await touch.send('Input.dispatchTouchEvent', { type: 'touchMove', touchPoints: fingers(spread) });
  }
  await touch.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
  await expect.poll(async () => (await focus()).centerRadius).toBeGreaterThan(before);
  await page.waitForTimeout(800);
  await shot(page, '14-panel-focus-blur');
  await done(page);
  await expect(page.locator('[data-action=undo]')).toBeEnabled();
});
