#!/usr/bin/env python3
# Local web servers for the download and feed tests, run around a test command:
#
#     feedserver.py [--data DIR] -- command [args...]
#
# Starts on 127.0.0.1 one plain HTTP server and three HTTPS servers (a good certificate for
# localhost, one for another host name, an expired one: tests/data/certs), runs the command with
# their addresses in its environment and exits with its code.
#
#     TAVI_HTTP, TAVI_HTTPS       http://localhost:PORT, https://localhost:PORT
#     TAVI_HTTPS_OTHER_NAME       the certificate names another host
#     TAVI_HTTPS_EXPIRED          the certificate for localhost has expired
#     TAVI_TEST_CA                the authority's certificate (PEM)
#
# Every server answers the same paths; a new behaviour is one function entered in ROUTES:
# /ok (200, a short body), /moved (301 to /ok), /auth (401 every time, the body saying whether
# credentials came), /status/CODE, /stall (never answers), /big/MIB (a body of MIB MiB, 50 by
# default, sent as fast as it goes), /data/PATH (a file under the --data folder), /garbage
# (random bytes), /trickle (a feed one byte a millisecond), /cut (half a feed, then the connection
# closes).
import http.server, os, socket, socketserver, ssl, subprocess, sys, threading, urllib.parse


def stall(h, rest):
    h.server.closing.wait(300)
    h.close_connection = True


def big(h, rest):
    mib = int(rest) if rest.isdigit() else 50
    h.send_response(200)
    h.send_header("Content-Length", str(mib << 20))
    h.end_headers()
    h.close_connection = True
    try:
        for _ in range(mib):
            h.wfile.write(bytes(1 << 20))
    except OSError:
        pass  # the client gave up


def data(h, rest):
    root = h.server.data_root
    path = os.path.realpath(os.path.join(root, urllib.parse.unquote(rest)))
    if not root or not path.startswith(root + os.sep) or not os.path.isfile(path):
        return h.answer(404, b"no such file\n")
    with open(path, "rb") as f:
        h.answer(200, f.read())


def auth(h, rest):
    given = "Authorization" in h.headers or "Proxy-Authorization" in h.headers
    h.answer(401, b"denied with%s credentials\n" % (b"" if given else b"out"), [("WWW-Authenticate", 'Basic realm="t"')])


FEED_START = b'<?xml version="1.0"?><rss version="2.0"><channel><title>t</title>' + b"<item><title>x</title></item>" * 200


def trickle(h, rest, step=1):
    # A byte a millisecond; with a larger step, that much at once of a body twice as long, then
    # the connection closes.
    h.send_response(200)
    h.send_header("Content-Length", str(len(FEED_START) * (1 if step == 1 else 2)))
    h.end_headers()
    h.close_connection = True
    try:
        for i in range(0, len(FEED_START), step):
            h.wfile.write(FEED_START[i:i + step])
            h.wfile.flush()
            if step > 1 or h.server.closing.wait(0.001):
                break
        h.connection.shutdown(socket.SHUT_RDWR)
    except OSError:
        pass


ROUTES = {
    "ok": lambda h, rest: h.answer(200, b"tavi test body\n"),
    "moved": lambda h, rest: h.answer(301, b"moved to /ok\n", [("Location", "/ok")]),
    "status": lambda h, rest: h.answer(int(rest) if rest.isdigit() else 500, b"status\n"),
    "garbage": lambda h, rest: h.answer(200, os.urandom(256 << 10), [("Content-Type", "application/rss+xml")]),
    "auth": auth, "stall": stall, "big": big, "data": data, "trickle": trickle,
    "cut": lambda h, rest: trickle(h, rest, len(FEED_START)),
}


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def do_GET(self):
        first, _, rest = urllib.parse.urlsplit(self.path).path.lstrip("/").partition("/")
        ROUTES.get(first, lambda h, r: h.answer(404, b"no such route\n"))(self, rest)

    def answer(self, code, body, headers=()):
        self.send_response(code)
        for key, value in list(headers) + [("Content-Length", str(len(body)))]:
            self.send_header(key, value)
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, format, *args):
        pass


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True

    def __init__(self, data_root, closing, context=None):
        super().__init__(("127.0.0.1", 0), Handler)
        self.data_root, self.closing = data_root, closing
        if context:  # the handshake happens in the request's own thread
            self.socket = context.wrap_socket(self.socket, server_side=True, do_handshake_on_connect=False)

    def handle_error(self, request, client_address):
        pass  # refused certificates and clients that give up are part of the tests


def main(argv):
    data_root = os.path.realpath(argv[1]) if argv[:1] == ["--data"] else ""
    certs = os.path.join(os.path.dirname(os.path.realpath(__file__)), "..", "data", "certs")
    closing = threading.Event()
    servers = {"TAVI_HTTP": Server(data_root, closing)}
    for name, pem in [("", "localhost"), ("_OTHER_NAME", "other-name"), ("_EXPIRED", "expired")]:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(os.path.join(certs, pem + ".pem"), os.path.join(certs, "server.key"))
        servers["TAVI_HTTPS" + name] = Server(data_root, closing, context)
    env = {"TAVI_TEST_CA": os.path.realpath(os.path.join(certs, "ca.pem"))}
    for key, server in servers.items():
        env[key] = "%s://localhost:%d" % ("http" if key == "TAVI_HTTP" else "https", server.server_address[1])
        threading.Thread(target=server.serve_forever, args=(0.05,), daemon=True).start()
    for key in ("no_proxy", "NO_PROXY"):  # a proxy the machine may name must not see them
        env[key] = ",".join(filter(None, [os.environ.get(key), "localhost", "127.0.0.1"]))
    try:
        return subprocess.call(argv[argv.index("--") + 1:], env={**os.environ, **env})
    finally:
        closing.set()
        for server in servers.values():
            server.shutdown()


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
