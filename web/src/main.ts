// The page: reads the app's fixed data, follows the editor's event stream
// and shows the screen of the models' phase.
import './style.css';
import { ActionQueue, getJson } from './api/client';
import { connectEvents } from './api/events';
import type { AppInfo, Notice, Snapshot } from './api/types';
import { h } from './dom';
import { panelSchemas, setStrings, t } from './state/store';
import type { Context } from './context';
import { renderOverlays } from './screens/overlays';
import { browseScreen, homeScreen, libraryScreen, settingsScreen } from './screens/home';
import { EditScreen } from './screens/edit';
import { openInHeldTab } from './screens/share';

const app = document.getElementById('app')!;
const screenLayer = h('div', { style: { display: 'contents' } });
const overlayLayer = h('div');
app.append(screenLayer, overlayLayer);

let toastTimer = 0;
function toast(text: string, error = false): void {
  document.querySelector('.toast')?.remove();
  const el = h(error ? 'div.toast.error' : 'div.toast', { role: error ? 'alert' : 'status' }, text);
  document.body.append(el);
  clearTimeout(toastTimer);
  toastTimer = window.setTimeout(() => el.remove(), error ? 5000 : 2500);
}

function screenKey(state: Snapshot): string {
  switch (state.phase) {
    case 2:
      return `browse:${state.browser?.reference ?? ''}`;
    case 3:
      return state.edit ? 'edit' : 'wait';
    case 4:
      return state.settings?.about ? 'about' : `settings:${JSON.stringify(state.settings)}`;
    default:
      return state.picker === 'library' ? `library:${state.library.generation}:${state.library.loading}` : `home:${state.unfinishedEdit}`;
  }
}

let shownKey = '';
let edit: EditScreen | null = null;

function render(ctx: Context): void {
  const state = ctx.state;
  const key = screenKey(state);
  if (key !== shownKey) {
    shownKey = key;
    edit?.dispose();
    edit = null;
    let screen: HTMLElement;
    if (key === 'edit') {
      edit = new EditScreen(ctx);
      screen = edit.root;
    } else if (state.phase === 2) {
      screen = browseScreen(ctx, state);
    } else if (state.phase === 4 && state.settings) {
      screen = settingsScreen(ctx, state);
    } else if (state.phase === 3) {
      screen = h('div.screen');
    } else if (state.picker === 'library') {
      screen = libraryScreen(ctx, state);
    } else {
      screen = homeScreen(ctx, state);
    }
    screenLayer.replaceChildren(screen);
  }
  edit?.update(state);
  renderOverlays(ctx, overlayLayer, state);
}

function showNotice(notice: Notice): void {
  if (notice.kind === 'openURL' && notice.url) {
    if (!openInHeldTab(notice.url)) window.open(notice.url, '_blank', 'noopener');
  } else if (notice.text) {
    toast(t(notice.text));
  }
}

async function start(): Promise<void> {
  const info = await getJson<AppInfo>('/api/app');
  setStrings(info.strings);
  const state = await getJson<Snapshot>('/api/state');
  const ctx: Context = {
    app: info,
    state,
    panels: panelSchemas(info),
    actions: new ActionQueue((message) => toast(message, true)),
    toast,
  };
  render(ctx);
  connectEvents({
    state(snapshot) {
      ctx.state = snapshot;
      render(ctx);
    },
    notice: showNotice,
    connection(open) {
      document.body.classList.toggle('offline', !open);
    },
  });
}

start().catch((error: Error) => {
  app.replaceChildren(h('div.about', {}, h('p', {}, error.message)));
});
