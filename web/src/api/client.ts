// Requests to the editor's server. Every action is a POST of a small JSON
// object; the answer is {"ok": true} or {"error": "..."} with a status.
// The state that follows an action arrives on the event stream.

export class ApiError extends Error {
  constructor(message: string, readonly status: number) {
    super(message);
  }
}

async function answerOf(response: Response): Promise<unknown> {
  let body: unknown = null;
  try {
    body = await response.json();
  } catch {
    body = null;
  }
  if (!response.ok) {
    const message =
      body && typeof body === 'object' && 'error' in body
        ? String((body as { error: unknown }).error)
        : `The editor answered ${response.status}.`;
    throw new ApiError(message, response.status);
  }
  return body;
}

export async function getJson<T>(path: string): Promise<T> {
  return (await answerOf(await fetch(path, { credentials: 'same-origin' }))) as T;
}

export async function post<T = unknown>(path: string, body: object = {}): Promise<T> {
  const response = await fetch(path, {
    method: 'POST',
    credentials: 'same-origin',
    headers: { 'Content-Type': 'application/json' },
    body: JSON.stringify(body),
  });
  return (await answerOf(response)) as T;
}

export async function upload(file: Blob, to: 'camera' | 'library', name: string): Promise<unknown> {
  const query = new URLSearchParams({ to, name });
  const response = await fetch(`/api/upload?${query}`, {
    method: 'POST',
    credentials: 'same-origin',
    headers: { 'Content-Type': 'application/octet-stream' },
    body: file,
  });
  return answerOf(response);
}

// Actions whose answers nobody waits for, sent one at a time in order; an
// action that fails shows its message through `onError`.
export class ActionQueue {
  private chain: Promise<void> = Promise.resolve();
  constructor(private readonly onError: (message: string) => void) {}

  send(path: string, body: object = {}): Promise<void> {
    const run = this.chain.then(() =>
      post(path, body).then(
        () => undefined,
        (error: unknown) => this.onError(error instanceof Error ? error.message : String(error)),
      ),
    );
    this.chain = run;
    return run;
  }
}
