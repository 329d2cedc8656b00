// Sharing on the edit screen: the share menu (one row per network) and the
// share page (its title, the thumbnail, the text box, Send and Close). The
// share page's model decides everything; this only shows its state and
// forwards the user's actions.
import type { ShareState, Snapshot } from '../api/types';
import { h, setText } from '../dom';
import { t } from '../state/store';
import type { Context } from '../context';

// A login opens the network's sign-in page once the editor has a request
// token, long after the tap; browsers block a window opened then. So the tap
// opens an empty tab at once and the sign-in page goes there. A tab left
// unused (a stored login needs no page) is closed again.
const kHeldTabLimitMs = 20_000;
let heldTab: Window | null = null;
let heldTimer = 0;

function holdTab(): void {
  releaseTab();
  heldTab = window.open('about:blank', '_blank');
  heldTimer = window.setTimeout(releaseTab, kHeldTabLimitMs);
}

function releaseTab(): void {
  clearTimeout(heldTimer);
  heldTab?.close();
  heldTab = null;
}

// Opens `url` in the tab held for it; false when there is none.
export function openInHeldTab(url: string): boolean {
  const tab = heldTab;
  clearTimeout(heldTimer);
  heldTab = null;
  if (!tab || tab.closed) return false;
  tab.opener = null;
  tab.location.href = url;
  return true;
}

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
    // An alert instead of a sign-in page (not set up, failed): no tab is needed.
    if (state.questions.length) releaseTab();
    const share = state.share;
    this.updateMenu(share);
    const page = share?.page ?? null;
    this.page.hidden = !page;
    if (!page) {
      this.shown = share;
      return;
    }
    const opened = !this.shown?.page || this.shown.page.thumbnailUrl !== page.thumbnailUrl;
    if (opened) releaseTab();
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
        ...share.providers.map((p) =>
          // A network that is not set up still answers a tap, with the reason.
          h(
            'button',
            { role: 'menuitem', 'data-share': p.code, onclick: () => (p.problem ? undefined : holdTab(), act({ action: 'provider', code: p.code })) },
            p.name,
            p.problem ? h('small', { style: { display: 'block', color: 'var(--dim)' } }, t('STR_SHARE_NOT_SET_UP')) : null,
          ),
        ),
        h('button', { 'data-action': 'share-cancel', onclick: () => act({ action: 'menu' }) }, 'Cancel'),
      ),
    );
  }
}
