import { defineConfig } from 'vite';

// The front end is served by `vantrel serve` from web/ beside the program;
// `npm run build -- --outDir DIR` puts it there. In development, `vite`
// forwards the API to a running server.
export default defineConfig({
  base: '/',
  build: {
    target: 'es2022',
    assetsInlineLimit: 0,
    modulePreload: { polyfill: false },
  },
  server: {
    proxy: { '/api': 'http://127.0.0.1:8686' },
  },
});
