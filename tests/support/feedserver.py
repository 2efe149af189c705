#!/usr/bin/env python3
"""Local web servers for the download and feed tests, run around a test command.

    feedserver.py [--data DIR] -- command [args...]

Makes a certificate authority and three server certificates with openssl (for localhost, for
another name, and an expired one for localhost), starts one plain HTTP server and three HTTPS
servers on 127.0.0.1, runs the command with their addresses in its environment, stops them
and exits with the command's code. Without a command it prints the environment and serves
until interrupted. The environment given to the command:

    TAVI_HTTP, TAVI_HTTPS               http://localhost:PORT, https://localhost:PORT
    TAVI_HTTPS_OTHER_NAME               HTTPS with a certificate for another host name
    TAVI_HTTPS_EXPIRED                  HTTPS with an expired certificate for localhost
    TAVI_TEST_CA                        the authority's certificate (PEM)

Every server answers the same paths; a new behaviour is one function entered in ROUTES:

    /ok                 200 with a short body
    /moved              301 to /ok
    /auth               401 every time, the body saying whether credentials came with it
    /status/CODE        that status
    /stall              reads the request and never answers
    /big/MIB            200 with a body of MIB MiB (50 by default), sent as fast as it goes
    /data/PATH          a file under the --data folder
"""
import datetime
import http.server
import os
import socketserver
import ssl
import subprocess
import sys
import tempfile
import threading
import urllib.parse

OK_BODY = b"tavi test body\n"


def ok(handler, rest):
    handler.answer(200, OK_BODY, [("Content-Type", "text/plain")])


def moved(handler, rest):
    handler.answer(301, b"moved to /ok\n", [("Location", "/ok")])


def auth(handler, rest):
    given = "Authorization" in handler.headers or "Proxy-Authorization" in handler.headers
    body = b"denied with credentials\n" if given else b"denied without credentials\n"
    handler.answer(401, body, [("WWW-Authenticate", 'Basic realm="tavi"')])


def status(handler, rest):
    code = int(rest) if rest.isdigit() else 500
    handler.answer(code, b"status %d\n" % code)


def stall(handler, rest):
    handler.server.closing.wait(300)
    handler.close_connection = True


def big(handler, rest):
    size = (int(rest) if rest.isdigit() else 50) << 20
    handler.send_response(200)
    handler.send_header("Content-Length", str(size))
    handler.end_headers()
    chunk = bytes(1 << 20)
    try:
        for _ in range(size >> 20):
            handler.wfile.write(chunk)
    except OSError:
        pass  # the client gave up
    handler.close_connection = True


def data(handler, rest):
    root = handler.server.data_root
    path = os.path.realpath(os.path.join(root, urllib.parse.unquote(rest)))
    if not root or not path.startswith(root + os.sep) or not os.path.isfile(path):
        return handler.answer(404, b"no such file\n")
    with open(path, "rb") as f:
        handler.answer(200, f.read(), [("Content-Type", "application/xml")])


ROUTES = {"ok": ok, "moved": moved, "auth": auth, "status": status, "stall": stall, "big": big, "data": data}


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def do_GET(self):
        first, _, rest = urllib.parse.urlsplit(self.path).path.lstrip("/").partition("/")
        route = ROUTES.get(first)
        if route is None:
            return self.answer(404, b"no such route\n")
        route(self, rest)

    def answer(self, code, body=b"", headers=()):
        self.send_response(code)
        for key, value in headers:
            self.send_header(key, value)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, format, *args):
        if os.environ.get("TAVI_SERVER_LOG"):
            sys.stderr.write("server %d: %s\n" % (self.server.server_address[1], format % args))


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True

    def __init__(self, data_root, closing, context=None):
        super().__init__(("127.0.0.1", 0), Handler)
        self.data_root = data_root
        self.closing = closing
        if context is not None:
            # The handshake happens in the request's thread, so a client that never completes
            # it holds up no one else.
            self.socket = context.wrap_socket(self.socket, server_side=True, do_handshake_on_connect=False)

    def handle_error(self, request, client_address):
        pass  # refused certificates and clients that give up are part of the tests


def make_certificates(folder):
    """The authority and the three server certificates; returns {name: (cert, key)} and the CA."""

    def run(*args):
        subprocess.run(["openssl", *args], check=True, capture_output=True, cwd=folder)

    def stamp(when):
        return when.strftime("%Y%m%d%H%M%SZ")

    now = datetime.datetime.now(datetime.timezone.utc)
    os.makedirs(os.path.join(folder, "issued"))
    open(os.path.join(folder, "index.txt"), "w").close()
    with open(os.path.join(folder, "serial"), "w") as f:
        f.write("1000\n")
    with open(os.path.join(folder, "ca.cnf"), "w") as f:
        f.write("[ca]\ndefault_ca = c\n[c]\ndatabase = index.txt\nnew_certs_dir = issued\nserial = serial\n"
                "default_md = sha256\npolicy = p\nunique_subject = no\n[p]\ncommonName = supplied\n"
                "[authority]\nbasicConstraints = critical,CA:TRUE\nkeyUsage = critical,keyCertSign,cRLSign\n"
                "subjectKeyIdentifier = hash\n")
    run("req", "-new", "-newkey", "rsa:2048", "-nodes", "-keyout", "ca.key", "-out", "ca.csr",
        "-subj", "/CN=tavi test authority")
    run("ca", "-batch", "-config", "ca.cnf", "-selfsign", "-keyfile", "ca.key", "-in", "ca.csr", "-out", "ca.pem",
        "-extensions", "authority", "-startdate", "20190101000000Z",
        "-enddate", stamp(now + datetime.timedelta(days=30)))
    run("req", "-new", "-newkey", "rsa:2048", "-nodes", "-keyout", "server.key", "-out", "server.csr",
        "-subj", "/CN=server")
    issued = {}
    for name, host, start, end in [
        ("good", "localhost", now - datetime.timedelta(days=1), now + datetime.timedelta(days=30)),
        ("other_name", "elsewhere.invalid", now - datetime.timedelta(days=1), now + datetime.timedelta(days=30)),
        ("expired", "localhost", datetime.datetime(2020, 1, 1), datetime.datetime(2020, 1, 2)),
    ]:
        with open(os.path.join(folder, name + ".ext"), "w") as f:
            f.write("[x]\nbasicConstraints = CA:FALSE\nextendedKeyUsage = serverAuth\n"
                    "subjectAltName = DNS:%s\n" % host)
        run("ca", "-batch", "-config", "ca.cnf", "-cert", "ca.pem", "-keyfile", "ca.key", "-in", "server.csr",
            "-out", name + ".pem", "-subj", "/CN=" + host, "-extfile", name + ".ext", "-extensions", "x",
            "-startdate", stamp(start), "-enddate", stamp(end))
        issued[name] = (os.path.join(folder, name + ".pem"), os.path.join(folder, "server.key"))
    return issued, os.path.join(folder, "ca.pem")


class FeedServers:
    """The four servers, as a context manager; env holds their addresses."""

    def __init__(self, data_root=""):
        self.data_root = os.path.realpath(data_root) if data_root else ""

    def __enter__(self):
        self.folder = tempfile.TemporaryDirectory(prefix="tavi-servers-")
        issued, ca = make_certificates(self.folder.name)
        self.closing = threading.Event()
        self.servers = {"TAVI_HTTP": Server(self.data_root, self.closing)}
        for name, (cert, key) in issued.items():
            context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
            context.load_cert_chain(cert, key)
            variable = "TAVI_HTTPS" if name == "good" else "TAVI_HTTPS_" + name.upper()
            self.servers[variable] = Server(self.data_root, self.closing, context)
        self.env = {"TAVI_TEST_CA": ca}
        for variable, server in self.servers.items():
            scheme = "http" if variable == "TAVI_HTTP" else "https"
            self.env[variable] = "%s://localhost:%d" % (scheme, server.server_address[1])
            threading.Thread(target=server.serve_forever, daemon=True).start()
        # The addresses must never go through a proxy that the machine may set.
        for key in ("no_proxy", "NO_PROXY"):
            self.env[key] = ",".join(filter(None, [os.environ.get(key, ""), "localhost", "127.0.0.1"]))
        return self

    def __exit__(self, *exc):
        self.closing.set()
        stoppers = [threading.Thread(target=server.shutdown) for server in self.servers.values()]
        for stopper in stoppers:
            stopper.start()
        for stopper in stoppers:
            stopper.join()
        for server in self.servers.values():
            server.server_close()
        self.folder.cleanup()


def main(argv):
    data_root = ""
    if len(argv) >= 2 and argv[0] == "--data":
        data_root, argv = argv[1], argv[2:]
    if argv and argv[0] == "--":
        argv = argv[1:]
    with FeedServers(data_root) as servers:
        if not argv:
            for key, value in servers.env.items():
                print("%s=%s" % (key, value), flush=True)
            try:
                threading.Event().wait()
            except KeyboardInterrupt:
                return 0
        return subprocess.call(argv, env={**os.environ, **servers.env})


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
