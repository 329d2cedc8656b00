// The screens outside the editor: the main menu, the library's grid, the
// photo view, the settings and about screens.
import { getJson, upload } from '../api/client';
import type { LibraryPage, Snapshot } from '../api/types';
import { h } from '../dom';
import { t } from '../state/store';
import { timings, type Context } from '../context';

const kPageSize = 60;
const kPhaseMain = 1;

function send(ctx: Context, path: string, body: object = {}): void {
  void ctx.actions.send(path, body);
}

// A file picker that sends what the person chose to the server.
function picker(ctx: Context, to: 'camera' | 'library', camera: boolean, done?: () => void): HTMLInputElement {
  const input = h('input', { type: 'file', accept: 'image/jpeg,image/png', hidden: true });
  if (camera) input.setAttribute('capture', 'environment');
  input.addEventListener('change', () => {
    const file = input.files?.[0];
    input.value = '';
    if (!file) return;
    if (file.size > ctx.app.maxUploadBytes) {
      ctx.toast(`The photo is larger than ${ctx.app.maxUploadBytes >> 20} MB: nothing was opened.`, true);
      return;
    }
    upload(file, to, file.name).then(
      () => done?.(),
      (e: Error) => ctx.toast(e.message, true),
    );
  });
  return input;
}

export function homeScreen(ctx: Context, state: Snapshot): HTMLElement {
  const camera = picker(ctx, 'camera', true);
  return h(
    'div.screen',
    {},
    h(
      'div.home',
      {},
      h('div.brand', {}, 'Vantrel'),
      state.unfinishedEdit
        ? h('button.primary', { onclick: () => send(ctx, '/api/resume') }, 'Resume the last edit')
        : null,
      h('button', { 'data-action': 'library', onclick: () => send(ctx, '/api/picker', { action: 'library' }) }, 'Open from the library'),
      h('button', { 'data-action': 'camera', onclick: () => camera.click() }, 'Take a photo'),
      h('button', { 'data-action': 'settings', onclick: () => send(ctx, '/api/phase', { phase: 4 }) }, t('STR_SETTINGS')),
      h('button', { 'data-action': 'about', onclick: () => openAbout(ctx) }, t('STR_LABEL_ABOUT_SWITCH')),
      camera,
    ),
  );
}

// The settings rows are read from the server once the phase has changed: the
// event stream's copy of them may not have arrived yet.
function openAbout(ctx: Context): void {
  void ctx.actions
    .send('/api/phase', { phase: 4 })
    .then(() => getJson<Snapshot>('/api/state'))
    .then((state) => {
      const about = state.settings?.sections.flatMap((s, si) => s.rows.map((r, ri) => ({ r, si, ri })))
        .find((x) => x.r.key === 'STR_LABEL_ABOUT_SWITCH');
      if (about) void ctx.actions.send('/api/settings', { section: about.si, row: about.ri });
    })
    .catch((error: Error) => ctx.toast(error.message, true));
}

// The library's photos as last read, shared by the grid and the photo view.
let references: string[] = [];

function thumbnail(reference: string, size: 'thumb' | 'screen'): string {
  return `/api/library/picture?${new URLSearchParams({ ref: reference, size })}`;
}

export function libraryScreen(ctx: Context, state: Snapshot): HTMLElement {
  const grid = h('div.grid', { role: 'list' });
  const more = h('button.more', { hidden: true }, 'More');
  let total = 0;
  const load = async (offset: number) => {
    const page = await getJson<LibraryPage>(`/api/library?offset=${offset}&count=${kPageSize}`);
    if (offset === 0) {
      references = [];
      grid.replaceChildren();
    }
    total = page.total;
    for (const photo of page.photos) {
      references.push(photo.reference);
      grid.append(
        h(
          'button',
          {
            role: 'listitem',
            'aria-label': photo.reference,
            'data-ref': photo.reference,
            onclick: () => send(ctx, '/api/picker', { action: 'pick', reference: photo.reference }),
          },
          h('img', { src: thumbnail(photo.reference, 'thumb'), alt: '', loading: 'lazy', decoding: 'async' }),
        ),
      );
    }
    more.hidden = references.length >= total;
  };
  more.addEventListener('click', () => void load(references.length).catch((e: Error) => ctx.toast(e.message, true)));
  const add = picker(ctx, 'library', false, () => void load(0));
  void load(0).catch((e: Error) => ctx.toast(e.message, true));
  const screen = h(
    'div.screen-wrap',
    { style: { display: 'contents' } },
    h(
      'div.bar',
      {},
      h('button.plain', { 'data-action': 'cancel', onclick: () => send(ctx, '/api/picker', { action: 'cancel' }) }, t('STR_CANCEL')),
      h('h1', {}, 'Library'),
      h('button.plain', { 'data-action': 'upload', onclick: () => add.click() }, 'Upload'),
      add,
    ),
    h('div.screen', {}, state.library.loading ? h('p.about', {}, 'Reading the library…') : null, grid, more),
  );
  return screen;
}

export function browseScreen(ctx: Context, state: Snapshot): HTMLElement {
  const reference = state.browser?.reference ?? '';
  const img = h('img', { src: thumbnail(reference, 'screen'), alt: reference });
  const viewer = h('div.viewer', {}, img);
  // A horizontal swipe shows the neighbouring photo.
  let startX = 0;
  viewer.addEventListener('pointerdown', (e) => (startX = e.clientX));
  viewer.addEventListener('pointerup', (e) => {
    const dx = e.clientX - startX;
    if (Math.abs(dx) < 50) return;
    const at = references.indexOf(reference);
    const next = references[at + (dx < 0 ? 1 : -1)];
    if (at >= 0 && next) send(ctx, '/api/browser', { action: 'show', reference: next });
  });
  return h(
    'div.screen-wrap',
    { style: { display: 'contents' } },
    h(
      'div.bar',
      {},
      h('button.plain', { 'data-action': 'back', onclick: () => send(ctx, '/api/picker', { action: 'library' }) }, t('STR_BUTTON_BACK')),
      h('h1', {}, reference.split('/').pop() ?? ''),
      h(
        'button.primary',
        {
          'data-action': 'edit',
          onclick: () => {
            performance.mark('edit-tap');
            send(ctx, '/api/browser', { action: 'edit' });
          },
        },
        'Edit',
      ),
    ),
    viewer,
  );
}

export function settingsScreen(ctx: Context, state: Snapshot): HTMLElement {
  const settings = state.settings!;
  const back = h('button.plain', { 'data-action': 'back', onclick: () => send(ctx, '/api/phase', { phase: kPhaseMain }) }, t('STR_BUTTON_BACK'));
  if (settings.about) {
    return h(
      'div.screen-wrap',
      { style: { display: 'contents' } },
      h('div.bar', {}, h('button.plain', { 'data-action': 'close-about', onclick: () => send(ctx, '/api/about/close') }, t('STR_BUTTON_BACK')), h('h1', {}, t('STR_LABEL_ABOUT_SWITCH')), h('span', { style: { width: '60px' } })),
      h('div.screen.about', {}, h('div.home', {}, h('div.brand', {}, 'Vantrel'), h('p', {}, `Version ${state.version}`), h('p', {}, t('STR_THANKS')))),
    );
  }
  const list = h('div.list');
  settings.sections.forEach((section, si) => {
    if (section.header) list.append(h('h3', {}, t(section.header)));
    const rows = h('div.rows');
    section.rows.forEach((row, ri) => {
      if (row.switch === null) {
        rows.append(h('button.row', { onclick: () => send(ctx, '/api/settings', { section: si, row: ri }) }, h('span', {}, t(row.key)), '›'));
      } else {
        const on = row.switch;
        rows.append(
          h(
            'button.row',
            { role: 'switch', 'aria-checked': String(on), onclick: () => send(ctx, '/api/settings', { section: si, row: ri, on: !on }) },
            h('span', {}, t(row.key)),
            h(on ? 'span.switch.on' : 'span.switch', { style: { flex: 'none', padding: '4px 10px', borderRadius: '14px' } }, on ? 'On' : 'Off'),
          ),
        );
      }
    });
    list.append(rows);
    if (section.footer) list.append(h('p.footer', {}, t(section.footer)));
  });
  return h('div.screen-wrap', { style: { display: 'contents' } }, h('div.bar', {}, back, h('h1', {}, t(settings.title)), h('span', { style: { width: '60px' } })), h('div.screen', {}, list));
}

export function markOpened(): void {
  if (performance.getEntriesByName('open-start').length === 0) return;
  const m = performance.measure('open', 'open-start');
  timings.open.push(m.duration);
  performance.clearMarks('open-start');
}
