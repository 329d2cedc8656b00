// Sharing on the edit screen: the share menu (one row per network) and the
// share page (its title, the thumbnail, the text box, Send and Close). The
// share page's model decides everything; this only shows its state and
// forwards the user's actions.
import type { ShareState, Snapshot } from '../api/types';
import { h, setText } from '../dom';
import { t } from '../state/store';
import type { Context } from '../context';

export class ShareView {
  readonly root: HTMLElement;
  private readonly menu: HTMLElement;
  private readonly page: HTMLElement;
  private readonly title: HTMLElement;
  private readonly thumb: HTMLImageElement;
  private readonly text: HTMLTextAreaElement;
  private readonly sendButton: HTMLButtonElement;
  private shown: ShareState | null = null;
  private defaultShowing = false;

  constructor(private readonly ctx: Context) {
    const act = (action: string, extra: object = {}) => void ctx.actions.send('/api/share', { action, ...extra });
    this.menu = h('div.scrim', { hidden: true });
    this.title = h('h1', { 'data-share-title': '' });
    this.thumb = h('img.share-thumb', { alt: 'The photo to share', hidden: true });
    this.text = h('textarea', { 'aria-label': 'Text to share', rows: 5, maxlength: 2000 });
    // The default text goes on the first change, as the model clears it.
    this.text.addEventListener('beforeinput', () => {
      if (!this.defaultShowing) return;
      this.defaultShowing = false;
      this.text.value = '';
    });
    this.text.addEventListener('input', () => act('text', { text: this.text.value }));
    this.sendButton = h('button.primary', { 'data-action': 'share-send', onclick: () => act('send') }, 'Send');
    this.page = h(
      'div.share-page',
      { hidden: true, role: 'dialog', 'aria-label': 'Share' },
      h('div.bar', {}, h('button.plain', { 'data-action': 'share-close', onclick: () => act('close') }, 'Close'), this.title, this.sendButton),
      h('div.share-body', {}, this.thumb, this.text),
    );
    this.root = h('div', { style: { display: 'contents' } }, this.menu, this.page);
  }

  update(state: Snapshot): void {
    const share = state.share;
    this.updateMenu(share);
    const page = share?.page ?? null;
    this.page.hidden = !page;
    if (!page) {
      this.shown = share;
      return;
    }
    const opened = !this.shown?.page || this.shown.page.thumbnailUrl !== page.thumbnailUrl;
    setText(this.title, page.title);
    if (page.thumbnailUrl && this.thumb.getAttribute('src') !== page.thumbnailUrl) this.thumb.src = page.thumbnailUrl;
    this.thumb.hidden = !page.thumbnailUrl;
    this.defaultShowing = page.defaultText;
    // What the user is typing stays; a page just opened shows the model's text.
    if (opened || document.activeElement !== this.text) this.text.value = page.defaultText ? t('STR_SHARETEXT_DEFAULT') : page.text;
    this.sendButton.disabled = page.sending;
    this.shown = share;
  }

  private updateMenu(share: ShareState | null): void {
    const open = !!share?.menu;
    if (open === !this.menu.hidden) return;
    this.menu.hidden = !open;
    if (!open || !share) return;
    const act = (body: object) => void this.ctx.actions.send('/api/share', body);
    this.menu.replaceChildren(
      h(
        'div.sheet',
        { role: 'menu', 'aria-label': 'Share to' },
        ...share.providers.map((p) => h('button', { role: 'menuitem', 'data-share': p.code, onclick: () => act({ action: 'provider', code: p.code }) }, p.name)),
        h('button', { 'data-action': 'share-cancel', onclick: () => act({ action: 'menu' }) }, 'Cancel'),
      ),
    );
  }
}
