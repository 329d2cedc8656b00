#!/usr/bin/python3
"""A fake of the sharing providers for the share kit's tests.

Listens on 127.0.0.1 on a free port, prints the port on one line and
serves until its lifetime or its request count runs out. Every OAuth 1.0
request is verified by oauthlib's own endpoints, an implementation
independent of the program's.

Paths are /MODE/PROVIDER/...; MODE "ok" plays the provider, "hang" never
answers, "error500" answers 500, "malformed" answers token requests with a
body that holds no token, "malformed-access" only the access-token request.

  sina     oauth/request_token, oauth/authorize, oauth/access_token,
           statuses/upload.json
  twitter  oauth/request_token, oauth/authorize, oauth/access_token
  twitpic  2/upload.json (checks the delegated Twitter credentials)
  facebook dialog/oauth, graph/me/photos
  util     big?bytes=N, redirect?hops=N
  editor   open-url (records what `vantrel open-url` posts)

With --sharing-json PATH it also writes a sharing.json that points every
provider at itself in mode "ok" (for end-to-end runs of the editor), with
the login callback of --callback (by default the program's own scheme).

Each request is recorded in the folder --record as NNNN.json (method, path,
headers, whether oauthlib verified it, the form fields of a multipart body)
and NNNN.body (the body's bytes).
"""

import argparse
import email.parser
import email.policy
import json
import os
import random
import string
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

from oauthlib.common import generate_token
from oauthlib.oauth1 import (AccessTokenEndpoint, RequestTokenEndpoint,
                             RequestValidator, ResourceEndpoint)
from oauthlib.oauth1.rfc5849 import SIGNATURE_HMAC_SHA1, SIGNATURE_PLAINTEXT

TWITTER_VERIFY = "ok/twitter/1/account/verify_credentials.json"

# The made-up keys of the providers' shapes that the fake knows
# (tests/share/FakeProvider.h names them for the share kit's tests).
KEYS = {
    "sina": {"consumer_key": "1234567890", "consumer_secret": "sinaSecretKd94hf93k423kf44"},
    "twitter": {"consumer_key": "twitterConsumerKey0001",
                "consumer_secret": "twitterSecretXyz7Fq2",
                "twitpic_key": "0123456789abcdef0123456789abcdef"},
    "facebook": {"app_id": "123456789012345"},
}


class Validator(RequestValidator):
    """One provider's clients and tokens, as oauthlib asks for them."""

    enforce_ssl = False  # plain http on the loopback interface
    client_key_length = (8, 64)
    request_token_length = (16, 64)
    access_token_length = (16, 64)
    nonce_length = (16, 64)
    verifier_length = (6, 64)
    realms = []
    dummy_client = "dummyclientkey00"
    dummy_request_token = "dummyrequesttoken000"
    dummy_access_token = "dummyaccesstoken0000"
    allowed_signature_methods = (SIGNATURE_HMAC_SHA1, SIGNATURE_PLAINTEXT)

    def __init__(self, key, secret, callback):
        super().__init__()
        self.key, self.secret, self.callback = key, secret, callback
        self.request_tokens = {}  # token -> {secret, verifier}
        self.access_tokens = {}  # token -> secret
        self.nonces = set()
        self.lock = threading.Lock()

    def get_client_secret(self, client_key, request):
        return self.secret if client_key == self.key else "dummysecret"

    def validate_client_key(self, client_key, request):
        return client_key == self.key

    def get_default_realms(self, client_key, request):
        return []

    def get_realms(self, token, request):
        return []

    def validate_requested_realms(self, client_key, realms, request):
        return True

    def validate_realms(self, client_key, token, request, uri=None, realms=None):
        return True

    def validate_redirect_uri(self, client_key, redirect_uri, request):
        return redirect_uri == self.callback

    def validate_timestamp_and_nonce(self, client_key, timestamp, nonce, request,
                                     request_token=None, access_token=None):
        with self.lock:
            seen = (client_key, timestamp, nonce) in self.nonces
            self.nonces.add((client_key, timestamp, nonce))
            return not seen

    def save_request_token(self, token, request):
        with self.lock:
            self.request_tokens[token["oauth_token"]] = {
                "secret": token["oauth_token_secret"], "verifier": None}

    def get_request_token_secret(self, client_key, token, request):
        entry = self.request_tokens.get(token)
        return entry["secret"] if entry else "dummysecret"

    def validate_request_token(self, client_key, token, request):
        return token in self.request_tokens

    def validate_verifier(self, client_key, token, verifier, request):
        entry = self.request_tokens.get(token)
        return bool(entry) and entry["verifier"] == verifier

    def invalidate_request_token(self, client_key, request_token, request):
        with self.lock:
            self.request_tokens.pop(request_token, None)

    def save_access_token(self, token, request):
        with self.lock:
            self.access_tokens[token["oauth_token"]] = token["oauth_token_secret"]

    def get_access_token_secret(self, client_key, token, request):
        return self.access_tokens.get(token, "dummysecret")

    def validate_access_token(self, client_key, token, request):
        return token in self.access_tokens


class Provider:
    """An OAuth 1.0 provider: its validator and oauthlib's three endpoints."""

    def __init__(self, keys, callback, verifier):
        self.validator = Validator(keys["consumer_key"], keys["consumer_secret"], callback)
        self.request_token = RequestTokenEndpoint(self.validator)
        self.access_token = AccessTokenEndpoint(self.validator)
        self.resource = ResourceEndpoint(self.validator)
        self.make_verifier = verifier


def six_digits():
    return "".join(random.choice(string.digits) for _ in range(6))


def form_fields(content_type, body):
    """The parts of a multipart body: name -> bytes."""
    message = email.parser.BytesParser(policy=email.policy.HTTP).parsebytes(
        b"Content-Type: " + content_type.encode() + b"\r\nMIME-Version: 1.0\r\n\r\n" + body)
    fields = {}
    if not message.is_multipart():
        return fields
    for part in message.iter_parts():
        name = part.get_param("name", header="content-disposition")
        if name:
            fields[name] = part.get_payload(decode=True) or b""
    return fields


class State:
    def __init__(self, args):
        keys, callback = KEYS, args.callback
        self.callback = callback
        self.providers = {
            "sina": Provider(keys["sina"], callback, six_digits),
            "twitter": Provider(keys["twitter"], callback, lambda: generate_token(24)),
        }
        self.twitpic_key = keys["twitter"]["twitpic_key"]
        self.app_id = keys["facebook"]["app_id"]
        self.facebook_tokens = set()
        self.record = args.record
        self.count = 0
        self.lock = threading.Lock()
        self.max_requests = args.max_requests

    def next_number(self):
        with self.lock:
            self.count += 1
            return self.count


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    state = None

    def log_message(self, *args):
        pass  # quiet: the records say what happened

    def do_GET(self):
        self.handle_request()

    def do_POST(self):
        self.handle_request()

    def handle_request(self):
        length = int(self.headers.get("Content-Length") or 0)
        self.body = self.rfile.read(length) if length else b""
        self.number = self.state.next_number()
        self.note = {"verified": None, "fields": {}}
        parsed = urllib.parse.urlsplit(self.path)
        self.query = dict(urllib.parse.parse_qsl(parsed.query, keep_blank_values=True))
        parts = parsed.path.strip("/").split("/", 2)
        mode, provider, rest = (parts + ["", "", ""])[:3]
        self.uri = "http://" + self.headers["Host"] + self.path
        self.save_record()
        if mode == "hang":
            time.sleep(30)
            return
        if mode == "error500":
            return self.answer(500, "text/plain", b"internal error")
        route = getattr(self, "route_" + provider.replace("-", "_"), None)
        if route is None or mode not in ("ok", "malformed", "malformed-access", "editor"):
            return self.answer(404, "text/plain", b"no such path")
        route(mode, rest)

    def save_record(self):
        name = os.path.join(self.state.record, "%04d" % self.number)
        with open(name + ".body", "wb") as file:
            file.write(self.body)
        record = {"method": self.command, "path": self.path, "headers": dict(self.headers.items())}
        record.update(self.note)
        with open(name + ".json.tmp", "w", encoding="utf-8") as file:
            json.dump(record, file, ensure_ascii=False)
        os.replace(name + ".json.tmp", name + ".json")

    def answer(self, status, content_type, body, extra=()):
        self.save_record()
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        for name, value in extra:
            self.send_header(name, value)
        self.end_headers()
        self.wfile.write(body)

    def answer_json(self, status, value):
        self.answer(status, "application/json", json.dumps(value).encode())

    def oauth_answer(self, headers, body, status):
        self.note["verified"] = status == 200
        self.answer(status, "application/x-www-form-urlencoded", (body or "").encode())

    # ---- Sina and Twitter: the three steps of the OAuth 1.0 login

    def route_sina(self, mode, rest):
        self.route_oauth("sina", mode, rest)

    def route_twitter(self, mode, rest):
        self.route_oauth("twitter", mode, rest)

    def route_oauth(self, name, mode, rest):
        provider = self.state.providers[name]
        headers = dict(self.headers.items())
        if mode == "malformed" and rest in ("oauth/request_token", "oauth/access_token"):
            return self.answer(200, "text/plain", b"this holds no token")
        if mode == "malformed-access" and rest == "oauth/access_token":
            return self.answer(200, "text/plain", b"oauth_token=&oauth_token_secret=")
        if rest == "oauth/request_token":
            return self.oauth_answer(*provider.request_token.create_request_token_response(
                self.uri, self.command, self.body, headers))
        if rest == "oauth/authorize":
            return self.authorize(provider)
        if rest == "oauth/access_token":
            return self.oauth_answer(*provider.access_token.create_access_token_response(
                self.uri, self.command, self.body, headers))
        if rest == "statuses/upload.json" and name == "sina":
            return self.sina_upload(provider, headers)
        self.answer(404, "text/plain", b"no such path")

    def authorize(self, provider):
        """The page the user's browser opens: grants at once, back to the callback."""
        token = self.query.get("oauth_token", "")
        entry = provider.validator.request_tokens.get(token)
        if entry is None or self.query.get("oauth_callback") != self.state.callback:
            return self.answer(400, "text/plain", b"unknown request token or callback")
        entry["verifier"] = provider.make_verifier()
        location = "%s?oauth_token=%s&oauth_verifier=%s" % (
            self.state.callback, token, entry["verifier"])
        self.answer(302, "text/plain", b"", [("Location", location)])

    def sina_upload(self, provider, headers):
        valid, _ = provider.resource.validate_protected_resource_request(
            self.uri, self.command, self.body, headers)
        self.note["verified"] = valid
        fields = form_fields(headers.get("Content-Type", ""), self.body)
        self.note["fields"] = {k: v.decode("utf-8", "replace") for k, v in fields.items()
                               if k != "pic"}
        pic = fields.get("pic", b"")
        if not valid:
            return self.answer_json(401, {"error": "signature refused"})
        if fields.get("source", b"").decode() != provider.validator.key or \
                not fields.get("status") or not pic.startswith(b"\xff\xd8"):
            return self.answer_json(400, {"error": "bad upload"})
        self.answer_json(200, {"id": 1, "text": fields["status"].decode()})

    # ---- Twitpic: the photo, with Twitter's delegated credentials

    def route_twitpic(self, mode, rest):
        headers = dict(self.headers.items())
        provider_url = headers.get("X-Auth-Service-Provider", "")
        expected = "http://" + self.headers["Host"] + "/" + TWITTER_VERIFY
        valid = False
        if provider_url == expected:
            valid, _ = self.state.providers["twitter"].resource.validate_protected_resource_request(
                provider_url, "GET", None,
                {"Authorization": headers.get("X-Verify-Credentials-Authorization", "")})
        self.note["verified"] = valid
        fields = form_fields(headers.get("Content-Type", ""), self.body)
        self.note["fields"] = {k: v.decode("utf-8", "replace") for k, v in fields.items()
                               if k != "media"}
        if not valid:
            return self.answer_json(401, {"errors": [{"message": "credentials refused"}]})
        if fields.get("key", b"").decode() != self.state.twitpic_key or \
                not fields.get("media", b"").startswith(b"\xff\xd8"):
            return self.answer_json(400, {"errors": [{"message": "bad upload"}]})
        self.answer_json(200, {"id": "abc123", "text": fields.get("message", b"").decode()})

    # ---- Facebook: the login dialog and the Graph

    def route_facebook(self, mode, rest):
        if rest == "dialog/oauth":
            query = self.query
            if query.get("client_id") != self.state.app_id or \
                    query.get("scope") != "publish_stream" or \
                    query.get("response_type") != "token" or \
                    query.get("redirect_uri") != self.state.callback:
                return self.answer(400, "text/plain", b"bad dialog request")
            token = generate_token(40)
            self.state.facebook_tokens.add(token)
            location = "%s#access_token=%s&expires_in=3600&state=%s" % (
                self.state.callback, token, urllib.parse.quote(query.get("state", "")))
            return self.answer(302, "text/plain", b"", [("Location", location)])
        if rest == "graph/me/photos":
            fields = form_fields(self.headers.get("Content-Type", ""), self.body)
            token = fields.get("access_token", b"").decode()
            self.note["verified"] = token in self.state.facebook_tokens
            self.note["fields"] = {"message": fields.get("message", b"").decode()}
            if not self.note["verified"]:
                return self.answer_json(400, {"error": {"message": "Invalid OAuth access token.",
                                                        "type": "OAuthException", "code": 190}})
            if not fields.get("picture", b"").startswith(b"\xff\xd8"):
                return self.answer_json(400, {"error": {"message": "No photo.", "code": 324}})
            return self.answer_json(200, {"id": "10150146071791729"})
        self.answer(404, "text/plain", b"no such path")

    # ---- The HTTP client's limits, and the editor's open-url

    def route_util(self, mode, rest):
        if rest == "big":
            return self.answer(200, "text/plain", b"x" * int(self.query.get("bytes", "0")))
        if rest == "redirect":
            hops = int(self.query.get("hops", "0"))
            if hops == 0:
                return self.answer(200, "text/plain", b"arrived")
            return self.answer(302, "text/plain", b"",
                               [("Location", "/ok/util/redirect?hops=%d" % (hops - 1))])
        if rest == "refer-elsewhere":
            return self.answer(302, "text/plain", b"", [("Location", "http://example.com/")])
        self.answer(404, "text/plain", b"no such path")

    def route_open_url(self, mode, rest):
        self.answer(202, "text/plain", b"taken")


def write_sharing_json(args, port):
    config = json.loads(json.dumps(KEYS))
    config["callback"] = args.callback
    base = "http://127.0.0.1:%d/ok/" % port
    config["sina"]["api"] = base + "sina/"
    config["twitter"]["api"] = base + "twitter/"
    config["twitter"]["twitpic_api"] = base + "twitpic/"
    config["facebook"]["dialog"] = base + "facebook/dialog/oauth"
    config["facebook"]["graph"] = base + "facebook/graph/"
    with open(args.sharing_json, "w", encoding="utf-8") as file:
        json.dump(config, file, indent=2)
    os.chmod(args.sharing_json, 0o600)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--callback", default="Vantrel://handleOAuthLogin")
    parser.add_argument("--record", required=True)
    parser.add_argument("--lifetime", type=float, default=120)
    parser.add_argument("--max-requests", type=int, default=400)
    parser.add_argument("--sharing-json")
    args = parser.parse_args()
    Handler.state = State(args)
    server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    if args.sharing_json:
        write_sharing_json(args, server.server_address[1])
    print(server.server_address[1], flush=True)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    deadline = time.monotonic() + args.lifetime
    while time.monotonic() < deadline and Handler.state.count < args.max_requests:
        time.sleep(0.1)
    server.shutdown()


if __name__ == "__main__":
    main()
