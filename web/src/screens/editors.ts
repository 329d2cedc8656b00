// The editors drawn on canvases: the crop frame, the focus circle, the
// turned picture and the region selector over the photo; the curve and the
// hue ribbon in their panels. They draw the models' state and send the
// finger's touches in their own view's points with the view's size; the
// models map them into their frames and apply every rule.
import { post } from '../api/client';
import type { PanelState, RectJson, SelectionState, SizeJson, Snapshot } from '../api/types';
import { h } from '../dom';
import type { Context } from '../context';

type Phase = 'began' | 'moved' | 'ended' | 'cancelled';

function phaseOf(type: string): Phase {
  if (type === 'pointerdown') return 'began';
  if (type === 'pointermove') return 'moved';
  if (type === 'pointercancel') return 'cancelled';
  return 'ended';
}

// Touch events go out one at a time, moves coalesced, so that a fast finger
// never piles requests up.
class TouchSender {
  private pending: { path: string; body: object; move: boolean }[] = [];
  private busy = false;
  constructor(private readonly ctx: Context) {}
  send(path: string, body: object, move: boolean): void {
    const last = this.pending[this.pending.length - 1];
    if (move && last?.move) this.pending[this.pending.length - 1] = { path, body, move };
    else this.pending.push({ path, body, move });
    void this.pump();
  }
  private async pump(): Promise<void> {
    if (this.busy) return;
    this.busy = true;
    while (this.pending.length) {
      const next = this.pending.shift()!;
      await post(next.path, next.body).catch((e: Error) => this.ctx.toast(e.message, true));
    }
    this.busy = false;
  }
}

function fitCanvas(canvas: HTMLCanvasElement): CanvasRenderingContext2D {
  const box = canvas.getBoundingClientRect();
  const ratio = window.devicePixelRatio || 1;
  const w = Math.max(1, Math.round(box.width * ratio));
  const hgt = Math.max(1, Math.round(box.height * ratio));
  if (canvas.width !== w || canvas.height !== hgt) {
    canvas.width = w;
    canvas.height = hgt;
  }
  const g = canvas.getContext('2d')!;
  g.setTransform(ratio, 0, 0, ratio, 0, 0);
  g.clearRect(0, 0, box.width, box.height);
  return g;
}

// Pointer handling shared by the canvases: one finger's touches, and a
// two-finger pinch's scale.
function track(
  canvas: HTMLCanvasElement,
  touch: (phase: Phase, x: number, y: number, w: number, hgt: number) => void,
  pinch?: (phase: Phase, scale: number) => void,
): void {
  const points = new Map<number, { x: number; y: number }>();
  let pinchStart = 0;
  const distance = () => {
    const [a, b] = [...points.values()];
    return Math.hypot(a.x - b.x, a.y - b.y);
  };
  const handler = (e: PointerEvent) => {
    const box = canvas.getBoundingClientRect();
    const x = e.clientX - box.left;
    const y = e.clientY - box.top;
    const phase = phaseOf(e.type);
    if (phase === 'began') {
      canvas.setPointerCapture(e.pointerId);
      points.set(e.pointerId, { x, y });
      if (points.size === 2 && pinch) {
        touch('cancelled', x, y, box.width, box.height);
        pinchStart = distance();
        pinch('began', 1);
        return;
      }
    } else if (!points.has(e.pointerId)) {
      return;
    } else if (phase === 'moved') {
      points.set(e.pointerId, { x, y });
    }
    if (points.size >= 2 && pinch) {
      if (phase === 'moved' && pinchStart > 0) pinch('moved', Math.max(0.01, distance() / pinchStart));
      if (phase === 'ended' || phase === 'cancelled') {
        pinch('ended', Math.max(0.01, distance() / pinchStart));
        pinchStart = 0;
        points.clear();
      }
      return;
    }
    if (phase === 'ended' || phase === 'cancelled') points.delete(e.pointerId);
    if (points.size <= 1 && pinchStart === 0) touch(phase, x, y, box.width, box.height);
    e.preventDefault();
  };
  for (const type of ['pointerdown', 'pointermove', 'pointerup', 'pointercancel']) {
    canvas.addEventListener(type, handler as EventListener);
  }
}

// The editor of the stage: whichever the open panel has over its picture,
// touches on the picture, and the region selector.
export class StageEditor {
  readonly canvas: HTMLCanvasElement;
  private readonly sender: TouchSender;
  private state: Snapshot | null = null;
  private picture = new Image();
  private pictureUrl = '';

  constructor(ctx: Context, frame: HTMLElement) {
    this.sender = new TouchSender(ctx);
    this.canvas = h('canvas.overlay', { role: 'application', 'aria-label': 'The photo: drag to adjust, hold to compare' });
    frame.append(this.canvas);
    this.picture.addEventListener('load', () => this.redraw());
    track(
      this.canvas,
      (phase, x, y, width, height) => {
        const state = this.state;
        if (!state) return;
        const body = { phase, x, y, width, height };
        if (state.edit?.selection) {
          this.sender.send('/api/selection/touch', body, phase === 'moved');
        } else if (state.panel) {
          this.sender.send('/api/panel/touch', { ...body, target: this.target(state.panel) }, phase === 'moved');
        }
      },
      (phase, scale) => {
        const panel = this.state?.panel;
        if (panel?.focus) this.sender.send('/api/panel/pinch', { phase, scale, target: 'focus' }, phase === 'moved');
      },
    );
  }

  // The key of the panel's editor drawn over the picture, or "picture".
  private target(panel: PanelState): string {
    for (const key of ['frame', 'focus', 'picture']) if (panel[key]) return key;
    return 'picture';
  }

  drawsPicture(panel: PanelState): boolean {
    return panel.class === 'RotateToolView' || panel.class === 'FlipToolView';
  }

  update(state: Snapshot, _shown: SizeJson): void {
    this.state = state;
    const panel = state.panel;
    const url = panel && this.drawsPicture(panel) ? panel.originalUrl : '';
    if (url && url !== this.pictureUrl) {
      this.pictureUrl = url;
      this.picture.src = url;
    }
    this.canvas.style.pointerEvents = panel || state.edit?.selection ? 'auto' : 'none';
    this.redraw();
  }

  redraw(): void {
    const g = fitCanvas(this.canvas);
    const state = this.state;
    if (!state) return;
    const box = this.canvas.getBoundingClientRect();
    const selection = state.edit?.selection as SelectionState | null | undefined;
    if (selection) return drawFrame(g, box, selection.clipFrame, selection.clipRect, selection.handles);
    const panel = state.panel;
    if (!panel) return;
    const frame = panel.frame as { clipFrame: RectJson; clipRect: RectJson; handles: { x: number; y: number }[] } | undefined;
    if (frame) return drawFrame(g, box, frame.clipFrame, frame.clipRect, frame.handles);
    const focus = panel.focus as { frame: SizeJson; centerPoint: { x: number; y: number }; centerRadius: number; extendWidth: number; circlesVisible: boolean } | undefined;
    if (focus) {
      if (!focus.circlesVisible) return;
      const s = box.width / focus.frame.width;
      const cx = focus.centerPoint.x * s;
      const cy = focus.centerPoint.y * s;
      g.lineWidth = 2;
      g.strokeStyle = '#fff';
      g.beginPath();
      g.arc(cx, cy, focus.centerRadius * s, 0, Math.PI * 2);
      g.stroke();
      g.setLineDash([6, 5]);
      g.beginPath();
      g.arc(cx, cy, (focus.centerRadius + focus.extendWidth) * s, 0, Math.PI * 2);
      g.stroke();
      g.setLineDash([]);
      return;
    }
    const turned = panel.picture as { viewSize: SizeJson; imageDegrees: number; flipH: boolean; flipV: boolean; displayRect: RectJson } | undefined;
    if (turned && this.drawsPicture(panel) && this.picture.complete && this.picture.naturalWidth) {
      const s = box.width / turned.viewSize.width;
      const r = turned.displayRect;
      g.save();
      g.translate((r.x + r.width / 2) * s, (r.y + r.height / 2) * s);
      g.rotate((turned.imageDegrees * Math.PI) / 180);
      g.scale(turned.flipH ? -1 : 1, turned.flipV ? -1 : 1);
      g.drawImage(this.picture, (-r.width / 2) * s, (-r.height / 2) * s, r.width * s, r.height * s);
      g.restore();
    }
  }
}

function drawFrame(g: CanvasRenderingContext2D, box: DOMRect, frame: RectJson, rect: RectJson, handles: { x: number; y: number }[]): void {
  const sx = box.width / frame.width;
  const sy = box.height / frame.height;
  const x = (rect.x - frame.x) * sx;
  const y = (rect.y - frame.y) * sy;
  const w = rect.width * sx;
  const hgt = rect.height * sy;
  g.fillStyle = '#0009';
  g.beginPath();
  g.rect(0, 0, box.width, box.height);
  g.rect(x, y, w, hgt);
  g.fill('evenodd');
  g.strokeStyle = '#fff';
  g.lineWidth = 2;
  g.strokeRect(x, y, w, hgt);
  g.fillStyle = '#fff';
  // The visible mark is small; the model's handles take touches 40 points wide.
  for (const p of handles) {
    g.beginPath();
    g.arc((p.x - frame.x) * sx, (p.y - frame.y) * sy, 7, 0, Math.PI * 2);
    g.fill();
  }
}

interface CurveState {
  activeChannel: number;
  channels: { x: number; y: number }[][];
  selected: number | null;
  candidates: { x: number; y: number }[] | null;
  histogram: number[] | null;
  colorBars: boolean;
}

const kChannelColours = ['#fff', '#ff5050', '#50e070', '#5090ff'];

// The curve editor: points at (x * w / 256, h - y * h / 256).
export class CurveCanvas {
  readonly canvas: HTMLCanvasElement;
  private state: CurveState | null = null;
  private readonly sender: TouchSender;

  constructor(ctx: Context, key: string) {
    this.sender = new TouchSender(ctx);
    this.canvas = h('canvas.curve', { role: 'application', 'aria-label': 'Curve: drag a point', 'data-editor': key });
    track(this.canvas, (phase, x, y, width, height) =>
      this.sender.send('/api/panel/touch', { target: key, phase, x, y, width, height }, phase === 'moved'),
    );
    new ResizeObserver(() => this.draw()).observe(this.canvas);
  }

  update(state: CurveState | undefined): void {
    if (!state || JSON.stringify(state) === JSON.stringify(this.state)) return;
    this.state = state;
    this.draw();
  }

  private draw(): void {
    const g = fitCanvas(this.canvas);
    const state = this.state;
    if (!state) return;
    const box = this.canvas.getBoundingClientRect();
    const px = (x: number) => (x * box.width) / 256;
    const py = (y: number) => box.height - (y * box.height) / 256;
    if (state.histogram?.length) {
      const max = Math.max(1, ...state.histogram);
      g.fillStyle = '#ffffff22';
      const w = box.width / state.histogram.length;
      state.histogram.forEach((v, i) => g.fillRect(i * w, box.height * (1 - v / max), w + 0.5, (box.height * v) / max));
    }
    g.strokeStyle = '#ffffff22';
    g.lineWidth = 1;
    for (let i = 1; i < 4; i++) {
      g.beginPath();
      g.moveTo((box.width * i) / 4, 0);
      g.lineTo((box.width * i) / 4, box.height);
      g.moveTo(0, (box.height * i) / 4);
      g.lineTo(box.width, (box.height * i) / 4);
      g.stroke();
    }
    const points = state.channels[state.activeChannel] ?? [];
    const colour = kChannelColours[state.activeChannel] ?? '#fff';
    // Straight lines between the points: the model's spline decides the
    // effect; the candidates show where it bends.
    g.strokeStyle = colour;
    g.lineWidth = 2;
    g.beginPath();
    points.forEach((p, i) => (i ? g.lineTo(px(p.x), py(p.y)) : g.moveTo(px(p.x), py(p.y))));
    g.stroke();
    points.forEach((p, i) => {
      g.beginPath();
      g.arc(px(p.x), py(p.y), i === state.selected ? 8 : 6, 0, Math.PI * 2);
      g.fillStyle = i === state.selected ? colour : '#111';
      g.fill();
      g.strokeStyle = colour;
      g.stroke();
    });
    for (const c of state.candidates ?? []) {
      g.beginPath();
      g.arc(px(c.x), py(c.y), 4, 0, Math.PI * 2);
      g.fillStyle = '#4ea1ff';
      g.fill();
    }
  }
}

interface RibbonState {
  open: boolean;
  cursors: { x: number; label: string }[];
  selectedCursor: number;
}

const kRibbonWidth = 380;

// The hue ribbon: the range's cursors over a strip of hues.
export class RibbonCanvas {
  readonly canvas: HTMLCanvasElement;
  private state: RibbonState | null = null;
  private readonly sender: TouchSender;

  constructor(ctx: Context, key: string) {
    this.sender = new TouchSender(ctx);
    this.canvas = h('canvas.ribbon', { role: 'application', 'aria-label': 'Hue range', 'data-editor': key });
    track(this.canvas, (phase, x, y, width, height) =>
      this.sender.send('/api/panel/touch', { target: key, phase, x: (x * kRibbonWidth) / width, y, width: kRibbonWidth, height }, phase === 'moved'),
    );
  }

  update(state: RibbonState | undefined): void {
    if (!state) return;
    this.canvas.hidden = !state.open;
    if (JSON.stringify(state) === JSON.stringify(this.state)) return;
    this.state = state;
    if (!state.open) return;
    requestAnimationFrame(() => this.draw());
  }

  private draw(): void {
    const g = fitCanvas(this.canvas);
    const state = this.state;
    if (!state) return;
    const box = this.canvas.getBoundingClientRect();
    const gradient = g.createLinearGradient(0, 0, box.width, 0);
    for (let i = 0; i <= 6; i++) gradient.addColorStop(i / 6, `hsl(${i * 60} 100% 50%)`);
    g.fillStyle = gradient;
    g.fillRect(0, box.height * 0.3, box.width, box.height * 0.4);
    state.cursors.forEach((c, i) => {
      const x = (c.x * box.width) / kRibbonWidth;
      g.fillStyle = i === state.selectedCursor ? '#4ea1ff' : '#fff';
      g.fillRect(x - 2, 0, 4, box.height);
    });
  }
}
