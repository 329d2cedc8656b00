// The models' questions (alerts and sheets) and the wait panel. A question
// stays until a page answers it; the server drops it once answered.
import { post } from '../api/client';
import type { Question, Snapshot, WaitPanel } from '../api/types';
import { clear, h } from '../dom';
import { t } from '../state/store';
import { timings, type Context } from '../context';

let shownQuestions = '';
let shownWait = '';

function questionView(ctx: Context, q: Question): HTMLElement {
  const buttons = q.buttons.map((label, index) =>
    h(
      index === q.cancelIndex ? 'button' : index === q.destructiveIndex ? 'button.danger' : 'button',
      {
        'data-answer': index,
        onclick: () => {
          // Outside the editor a question is the size sheet: what follows
          // is the photo opening.
          if (ctx.state.phase !== 3) {
            performance.clearMarks('open-start');
            performance.mark('open-start');
          }
          post('/api/answer', { id: q.id, index }).catch((e: Error) => ctx.toast(e.message, true));
        },
      },
      t(label),
    ),
  );
  // The cancel button goes last, in reach of the thumb.
  if (q.cancelIndex >= 0 && q.cancelIndex < buttons.length) {
    const [cancel] = buttons.splice(q.cancelIndex, 1);
    buttons.push(cancel);
  }
  const box = h(
    q.kind === 'alert' ? 'div.sheet.alert' : 'div.sheet',
    { role: 'dialog', 'aria-modal': 'true', 'data-question': q.id },
    q.title ? h('h2', {}, t(q.title)) : null,
    q.message ? h('p', {}, t(q.message)) : null,
    ...buttons,
  );
  return h(q.kind === 'alert' ? 'div.scrim.center' : 'div.scrim', {}, box);
}

function waitView(wait: WaitPanel): HTMLElement {
  return h(
    wait.mask ? 'div.wait.mask' : 'div.wait',
    { role: 'status', 'data-wait': wait.kind },
    h('div', {}, h('span.spinner'), wait.title ? h('span', {}, t(wait.title)) : null),
  );
}

export function renderOverlays(ctx: Context, layer: HTMLElement, state: Snapshot): void {
  const questions = JSON.stringify(state.questions);
  const wait = JSON.stringify(state.waitPanel);
  if (questions === shownQuestions && wait === shownWait) return;
  shownQuestions = questions;
  shownWait = wait;
  clear(layer);
  // One question at a time: the oldest.
  if (state.questions.length) {
    layer.append(questionView(ctx, state.questions[0]));
    if (performance.getEntriesByName('edit-tap').length) {
      timings.sheet.push(performance.measure('sheet', 'edit-tap').duration);
      performance.clearMarks('edit-tap');
    }
  }
  if (state.waitPanel) layer.append(waitView(state.waitPanel));
}
