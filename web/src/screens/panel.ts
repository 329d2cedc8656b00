// An open effect panel, rendered from the panel's schema and its state: every
// value, label, range and enabled flag comes from the model; the page only
// sends what the finger did.
import { post } from '../api/client';
import type { ControlSchema, ControlState, PanelSchema, PanelState, Snapshot } from '../api/types';
import { h, setText } from '../dom';
import { t } from '../state/store';
import { timings, type Context } from '../context';
import { CurveCanvas, RibbonCanvas } from './editors';

type Op = { path: string; body: Record<string, unknown> };

// Slider moves are sent one at a time, and a move waiting behind another is
// replaced by a newer one of the same control: the model previews the
// latest position, never a backlog.
class ControlSender {
  private queue: Op[] = [];
  private busy = false;
  constructor(private readonly ctx: Context) {}

  send(op: Op): void {
    const last = this.queue[this.queue.length - 1];
    if (last && op.body.action === 'move' && last.body.action === 'move' && last.body.key === op.body.key) {
      this.queue[this.queue.length - 1] = op;
    } else {
      this.queue.push(op);
    }
    void this.pump();
  }

  private async pump(): Promise<void> {
    if (this.busy) return;
    this.busy = true;
    while (this.queue.length) {
      const op = this.queue.shift()!;
      await post(op.path, op.body).catch((e: Error) => this.ctx.toast(e.message, true));
    }
    this.busy = false;
  }
}

interface Row {
  schema: ControlSchema;
  el: HTMLElement;
  update(c: ControlState, state: PanelState): void;
}

export class PanelView {
  readonly root: HTMLElement;
  readonly serial: string;
  private readonly rows: Row[] = [];
  private readonly sender: ControlSender;
  private readonly title: HTMLElement;
  private readonly done: HTMLButtonElement;
  private moveStart = 0;
  private lastShown = '';

  constructor(private readonly ctx: Context, state: PanelState) {
    this.serial = state.serial;
    this.sender = new ControlSender(ctx);
    const schema = ctx.panels.get(state.title) as PanelSchema;
    this.title = h('h2', { 'data-action': 'title', onclick: () => this.action('title') });
    this.done = h('button.primary', { 'data-action': 'done', onclick: () => this.action('done') }, t('STR_BUTTON_DONE'));
    const back = h('button', { 'data-action': 'back', onclick: () => this.action('back') }, t('STR_BUTTON_BACK'));
    const body = h('div.controls');
    for (const control of schema.controls) {
      const row = this.row(control, state);
      if (row) {
        this.rows.push(row);
        body.append(row.el);
      }
    }
    this.root = h('section.panel', { 'data-panel-open': state.title, 'aria-label': t(state.title) }, h('div.head', {}, back, this.title, this.done), body);
  }

  private action(action: string): void {
    this.sender.send({ path: '/api/panel', body: { action } });
  }

  private control(key: string, action: string, value: number): void {
    this.sender.send({ path: '/api/panel/control', body: { key, action, value } });
  }

  // A new picture of this panel is on screen: the time since the slider
  // move that asked for it.
  pictureShown(src: string): void {
    if (src === this.lastShown) return;
    this.lastShown = src;
    if (this.moveStart) {
      timings.slider.push(performance.now() - this.moveStart);
      this.moveStart = 0;
    }
  }

  update(state: Snapshot): void {
    const panel = state.panel as PanelState;
    setText(this.title, t(panel.displayTitle || panel.title));
    this.done.disabled = panel.processing;
    for (const row of this.rows) {
      const c = panel.controls.find((x) => x.key === row.schema.key);
      if (!c) continue;
      row.el.classList.toggle('disabled', !c.enabled);
      row.update(c, panel);
    }
  }

  private row(schema: ControlSchema, state: PanelState): Row | null {
    const name = h('span.name', {}, t(schema.title));
    const wrap = (el: HTMLElement, update: Row['update']): Row => ({ schema, el, update });
    switch (schema.kind) {
      case 'slider': {
        const input = h('input', { type: 'range', 'aria-label': t(schema.title), 'data-control': schema.key });
        const out = h('output');
        const range = (c: ControlState) => {
          const min = c.minimum ?? schema.minimum ?? 0;
          const max = c.maximum ?? schema.maximum ?? 100;
          input.min = String(min);
          input.max = String(max);
          input.step = max - min <= 10 ? '0.01' : '1';
        };
        let dragging = false;
        input.addEventListener('input', () => {
          dragging = true;
          if (!this.moveStart) this.moveStart = performance.now();
          this.control(schema.key, 'move', Number(input.value));
        });
        input.addEventListener('change', () => {
          dragging = false;
          this.moveStart ||= performance.now();
          this.control(schema.key, 'move', Number(input.value));
          this.control(schema.key, 'release', Number(input.value));
        });
        return wrap(h('label.control', {}, name, input, out), (c) => {
          range(c);
          input.disabled = !c.enabled;
          if (!dragging) input.value = String(c.value);
          setText(out, t(c.label));
        });
      }
      case 'toggle': {
        const button = h('button.switch', { role: 'switch', 'data-control': schema.key });
        let value = 0;
        button.addEventListener('click', () => this.control(schema.key, 'set', value ? 0 : 1));
        return wrap(h('div.control', {}, name, h('span.spacer'), button), (c) => {
          value = c.value;
          button.disabled = !c.enabled;
          button.classList.toggle('on', !!c.value);
          button.setAttribute('aria-checked', String(!!c.value));
          setText(button, c.value ? 'On' : 'Off');
        });
      }
      case 'segment':
      case 'list':
      case 'swatches': {
        const min = schema.minimum ?? 0;
        const count = schema.items?.length ?? Math.max(0, (schema.maximum ?? 0) - min + 1);
        const box = h('div.choices', { role: 'radiogroup', 'aria-label': t(schema.title), 'data-control': schema.key });
        const buttons: HTMLButtonElement[] = [];
        for (let i = 0; i < count; i++) {
          const value = min + i;
          const label = schema.items?.[i] ?? String(value);
          const gradient = state.class === 'GradientOverlayToolView' && schema.kind === 'swatches';
          const b = h(
            schema.kind === 'swatches' ? 'button.swatch' : 'button',
            { role: 'radio', 'aria-label': t(label), title: t(label), onclick: () => this.control(schema.key, 'set', value) },
            gradient ? h('img', { src: `/api/image/gradient?type=${value}`, alt: '' }) : t(label),
          );
          buttons.push(b);
          box.append(b);
        }
        return wrap(h('div.control', {}, name, box), (c) => {
          buttons.forEach((b, i) => {
            const on = min + i === c.value;
            b.classList.toggle('on', on);
            b.setAttribute('aria-checked', String(on));
            b.disabled = !c.enabled;
          });
        });
      }
      case 'lookStrip':
        return this.lookStrip(schema);
      case 'button': {
        const b = h('button', { 'data-control': schema.key, onclick: () => this.control(schema.key, 'set', 1) });
        return wrap(h('div.control', {}, b), (c) => {
          setText(b, t(c.label));
          b.disabled = !c.enabled;
        });
      }
      case 'caption': {
        const text = h('span');
        return wrap(h('div.control', {}, text), (c) => setText(text, t(c.label)));
      }
      case 'editor': {
        if (schema.key === 'curve') {
          const curve = new CurveCanvas(this.ctx, schema.key);
          return wrap(curve.canvas, (_c, panel) => curve.update(panel[schema.key] as never));
        }
        if (schema.key === 'hueRange') {
          const ribbon = new RibbonCanvas(this.ctx, schema.key);
          return wrap(ribbon.canvas, (_c, panel) => ribbon.update(panel[schema.key] as never));
        }
        return null;  // drawn over the picture
      }
    }
    return null;
  }

  // The look strip: the shown section's looks, their thumbnails as the
  // model has made them, the selected one marked.
  private lookStrip(schema: ControlSchema): Row {
    const strip = h('div.looks', { role: 'listbox', 'aria-label': t(schema.title), 'data-control': schema.key });
    let shownKey = '';
    return {
      schema,
      el: strip,
      update: (_c, panel) => {
        const sections = (panel.sections ?? []) as { title: string; looks: { name: string }[] }[];
        const shown = Number(panel.shownSection ?? 0);
        const selected = (panel.selected ?? { section: -1, index: -1 }) as { section: number; index: number };
        const looks = sections[shown]?.looks ?? [];
        const key = `${shown}:${looks.length}`;
        if (key !== shownKey) {
          shownKey = key;
          strip.replaceChildren(
            ...looks.map((look, index) =>
              h(
                'button',
                { role: 'option', 'data-look': index, onclick: () => this.control(schema.key, 'set', index) },
                h('img', { src: `/api/image/look?v=${panel.serial}&section=${shown}&index=${index}`, alt: '', loading: 'lazy' }),
                h('span', {}, look.name),
              ),
            ),
          );
        }
        strip.querySelectorAll('button').forEach((b, index) => {
          const on = selected.section === shown && selected.index === index;
          b.classList.toggle('on', on);
          b.setAttribute('aria-selected', String(on));
          if (on && !b.dataset.seen) {
            b.dataset.seen = '1';
            b.scrollIntoView({ inline: 'center', block: 'nearest' });
          }
        });
      },
    };
  }
}
