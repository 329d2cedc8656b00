// The editor's event stream: "state" events carry the whole snapshot,
// "notice" events the passing messages. EventSource reconnects by itself;
// after a reconnection the first state brings the page up to date.
import type { Notice, Snapshot } from './types';

export interface EventHandlers {
  state(snapshot: Snapshot): void;
  notice(notice: Notice): void;
  connection(open: boolean): void;
}

export function connectEvents(handlers: EventHandlers): EventSource {
  const source = new EventSource('/api/events', { withCredentials: true });
  source.addEventListener('state', (event) => {
    handlers.state(JSON.parse((event as MessageEvent<string>).data) as Snapshot);
  });
  source.addEventListener('notice', (event) => {
    handlers.notice(JSON.parse((event as MessageEvent<string>).data) as Notice);
  });
  source.addEventListener('open', () => handlers.connection(true));
  source.addEventListener('error', () => handlers.connection(false));
  return source;
}
