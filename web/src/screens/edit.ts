// The edit screen: the top bar (Close, Undo, Redo, Save), the picture with
// its size label, the four menus, and the open panel. It is built once per
// visit and updated in place, so that a slider being dragged is never
// rebuilt under the finger.
import type { EditState, PanelState, Snapshot } from '../api/types';
import { clear, h, setText } from '../dom';
import { t } from '../state/store';
import { type Context } from '../context';
import { markOpened } from './home';
import { PanelView } from './panel';
import { StageEditor } from './editors';
import { ShareView } from './share';

const kMenuNames: Record<string, string> = { colour: 'Color', fix: 'Fix', filter: 'Filter', edit: 'Edit' };

export class EditScreen {
  readonly root: HTMLElement;
  private readonly undo: HTMLButtonElement;
  private readonly redo: HTMLButtonElement;
  private readonly save: HTMLButtonElement;
  private readonly select: HTMLButtonElement;
  private readonly frame: HTMLElement;
  private readonly img: HTMLImageElement;
  private readonly sizeLabel: HTMLElement;
  private readonly stage: HTMLElement;
  private readonly bottom: HTMLElement;
  private readonly savedBar: HTMLElement;
  private readonly editor: StageEditor;
  private readonly share: ShareView;
  private readonly shareButton: HTMLButtonElement;
  private menu: string | null = null;
  private panel: PanelView | null = null;
  private pictureUrl = '';
  private savedSerial: number | null = null;
  private shown: { width: number; height: number } = { width: 0, height: 0 };

  constructor(private readonly ctx: Context) {
    const send = (action: string) => void ctx.actions.send('/api/edit', { action });
    this.undo = h('button', { 'data-action': 'undo', 'aria-label': 'Undo', onclick: () => send('undo') }, '↶');
    this.redo = h('button', { 'data-action': 'redo', 'aria-label': 'Redo', onclick: () => send('redo') }, '↷');
    this.save = h('button.primary', { 'data-action': 'save', onclick: () => send('save') }, 'Save');
    this.select = h('button', { 'data-action': 'select', 'aria-label': t('STR_TITLE_SELECTION'), onclick: () => send('select') }, '⬚');
    this.shareButton = h('button', { 'data-action': 'share', onclick: () => void ctx.actions.send('/api/share', { action: 'menu' }) }, 'Share');
    this.share = new ShareView(ctx);
    this.img = h('img', { alt: 'The photo being edited', draggable: 'false' });
    this.img.addEventListener('load', () => {
      markOpened();
      this.panel?.pictureShown(this.img.src);
    });
    this.frame = h('div.frame', {}, this.img);
    this.sizeLabel = h('div.size-label', { 'data-size-label': '' });
    this.stage = h('div.stage', {}, this.frame, this.sizeLabel);
    this.editor = new StageEditor(ctx, this.frame);
    this.bottom = h('div.bottom');
    this.savedBar = h('div.saved', { hidden: true });
    this.root = h(
      'div.screen-wrap',
      { style: { display: 'contents' } },
      h(
        'div.bar',
        {},
        h('button.plain', { 'data-action': 'close', onclick: () => send('close') }, 'Close'),
        h('span.spacer'),
        this.shareButton,
        this.select,
        this.undo,
        this.redo,
        this.save,
      ),
      this.savedBar,
      h('div.edit-body', {}, this.stage, this.bottom),
      this.share.root,
    );
    // A save made before this visit is not offered again.
    this.savedSerial = ctx.state.saved?.serial ?? null;
    new ResizeObserver(() => this.layout()).observe(this.stage);
    document.addEventListener('keydown', this.keys);
  }

  dispose(): void {
    document.removeEventListener('keydown', this.keys);
  }

  private readonly keys = (e: KeyboardEvent) => {
    const edit = this.ctx.state.edit;
    if (!edit || this.ctx.state.questions.length) return;
    const mod = e.ctrlKey || e.metaKey;
    const key = e.key.toLowerCase();
    const send = (action: string) => void this.ctx.actions.send('/api/edit', { action });
    if (mod && key === 'z' && !e.shiftKey) send('undo');
    else if (mod && ((key === 'z' && e.shiftKey) || key === 'y')) send('redo');
    else if (mod && key === 's') send('save');
    else if (key === 'escape' && this.ctx.state.panel) void this.ctx.actions.send('/api/panel', { action: 'back' });
    else if (key === 'enter' && this.ctx.state.panel && !(e.target instanceof HTMLButtonElement)) void this.ctx.actions.send('/api/panel', { action: 'done' });
    else return;
    e.preventDefault();
  };

  update(state: Snapshot): void {
    const edit = state.edit as EditState;
    this.undo.disabled = !edit.undoEnabled || !!state.panel;
    this.redo.disabled = !edit.redoEnabled || !!state.panel;
    this.save.disabled = !edit.saveEnabled || !!state.panel;
    this.select.disabled = !!state.panel;
    this.shareButton.disabled = !!state.panel || edit.busy;
    setText(this.sizeLabel, edit.sizeLabel.text);
    this.sizeLabel.hidden = !edit.sizeLabel.text || !edit.barsShown;
    this.updateSaved(state);
    this.updatePicture(state);
    this.updateBottom(state);
    this.editor.update(state, this.shown);
    this.share.update(state);
  }

  private updateSaved(state: Snapshot): void {
    if (!state.saved || state.saved.serial === this.savedSerial) return;
    this.savedSerial = state.saved.serial;
    const reference = state.saved.reference;
    const url = `/api/library/file?${new URLSearchParams({ ref: reference })}`;
    const name = reference.split('/').pop() ?? 'photo.jpg';
    clear(this.savedBar);
    this.savedBar.append(h('span', { style: { alignSelf: 'center' } }, t('STR_FINISH')), h('a', { href: url, download: name, 'data-action': 'download' }, h('button', {}, 'Download')));
    const nav = navigator as Navigator & { canShare?: (data: object) => boolean };
    if (nav.canShare && nav.canShare({ files: [new File([], name, { type: 'image/jpeg' })] })) {
      this.savedBar.append(
        h('button', {
          onclick: async () => {
            const blob = await (await fetch(url)).blob();
            await navigator.share({ files: [new File([blob], name, { type: blob.type })], text: t('STR_SHARETEXT_DEFAULT') }).catch(() => undefined);
          },
        }, 'Share'),
      );
    }
    this.savedBar.hidden = false;
  }

  // The picture: the display image, or the open panel's shown picture.
  private updatePicture(state: Snapshot): void {
    const edit = state.edit as EditState;
    const panel = state.panel;
    let url = edit.display?.url ?? '';
    let size = edit.display?.size ?? { width: 0, height: 0 };
    if (panel) {
      url = panel.shownUrl ?? panel.originalUrl;
      size = panel.shownSize.width ? panel.shownSize : panel.previewSize;
    }
    if (url && url !== this.pictureUrl) {
      this.pictureUrl = url;
      this.img.src = url;
    }
    this.img.style.visibility = panel && this.editor.drawsPicture(panel) ? 'hidden' : '';
    if (size.width !== this.shown.width || size.height !== this.shown.height) {
      this.shown = size;
      this.layout();
    }
  }

  // The picture fits the stage and is never shown larger than its own pixels.
  private layout(): void {
    const { width, height } = this.shown;
    if (!width || !height) return;
    const box = this.stage.getBoundingClientRect();
    const scale = Math.min(1, (box.width - 8) / width, (box.height - 8) / height);
    this.frame.style.width = `${Math.max(1, Math.floor(width * scale))}px`;
    this.frame.style.height = `${Math.max(1, Math.floor(height * scale))}px`;
    this.editor.redraw();
  }

  private updateBottom(state: Snapshot): void {
    const panel = state.panel as PanelState | null;
    if (panel) {
      this.stage.querySelector('.drawer')?.remove();
      if (!this.panel || this.panel.serial !== panel.serial) {
        this.menu = null;
        this.panel = new PanelView(this.ctx, panel);
        this.bottom.replaceChildren(this.panel.root);
      }
      this.panel.update(state);
      return;
    }
    if (this.panel) {
      this.panel = null;
      this.bottom.replaceChildren();
    }
    const selection = state.edit?.selection;
    if (selection) {
      // The region selector's own title and buttons (Cancel, Done), and Reset.
      if (this.bottom.dataset.menu !== 'selection') {
        this.bottom.dataset.menu = 'selection';
        this.stage.querySelector('.drawer')?.remove();
        const act = (action: string) => () => void this.ctx.actions.send('/api/selection', { action });
        const [cancel, done] = selection.buttons;
        this.bottom.replaceChildren(
          h(
            'section.panel',
            { 'data-selection': '' },
            h(
              'div.head',
              {},
              h('button', { 'data-action': 'selection-cancel', onclick: act('cancel') }, t(cancel)),
              h('h2', {}, t(selection.title)),
              h('button.primary', { 'data-action': 'selection-done', onclick: act('done') }, t(done)),
            ),
            h('div.control', {}, h('button', { 'data-action': 'selection-reset', onclick: act('reset') }, t('STR_CONTROL_RESET'))),
          ),
        );
      }
      return;
    }
    if (this.bottom.dataset.menu === 'selection') this.bottom.replaceChildren();
    if (!this.bottom.firstChild || this.bottom.dataset.menu !== (this.menu ?? '')) this.renderMenus(state);
    for (const b of this.bottom.querySelectorAll('button')) (b as HTMLButtonElement).disabled = !!state.edit?.busy;
  }

  private renderMenus(state: Snapshot): void {
    this.bottom.dataset.menu = this.menu ?? '';
    const bar = h('nav.menus', { 'aria-label': 'Menus' });
    for (const menu of this.ctx.app.schema.menus) {
      bar.append(
        h(
          this.menu === menu.key ? 'button.primary' : 'button',
          {
            'data-menu': menu.key,
            onclick: () => {
              this.menu = this.menu === menu.key ? null : menu.key;
              this.renderMenus(this.ctx.state);
            },
          },
          kMenuNames[menu.key] ?? menu.key,
        ),
      );
    }
    const parts: HTMLElement[] = [bar];
    const open = this.ctx.app.schema.menus.find((m) => m.key === this.menu);
    if (open) {
      const drawer = h('div.drawer', { role: 'menu' });
      for (const item of open.items) {
        drawer.append(
          h('button', {
            role: 'menuitem',
            'data-panel': item,
            disabled: !!state.edit?.busy,
            onclick: () => {
              this.menu = null;
              void this.ctx.actions.send('/api/edit/panel', { title: item });
            },
          }, t(item)),
        );
      }
      this.stage.querySelector('.drawer')?.remove();
      this.stage.append(drawer);
    } else {
      this.stage.querySelector('.drawer')?.remove();
    }
    this.bottom.replaceChildren(...parts);
  }
}
