import { defineConfig } from '@playwright/test';

// Debian's Chromium in a phone's viewport with touch; every server a test
// starts listens on 127.0.0.1.
export default defineConfig({
  testDir: 'e2e',
  timeout: 120_000,
  expect: { timeout: 15_000 },
  workers: 1,
  retries: 0,
  reporter: [['list']],
  use: {
    launchOptions: { executablePath: '/usr/bin/chromium' },
    viewport: { width: 390, height: 844 },
    hasTouch: true,
    isMobile: true,
    deviceScaleFactor: 2,
    actionTimeout: 15_000,
  },
});
