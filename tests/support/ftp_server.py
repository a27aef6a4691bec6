"""An anonymous, read-only FTP server on 127.0.0.1 for the tests; prints its port.

Active mode (PORT, EPRT) is refused, so a client that does not use passive mode fails.
"""
import logging
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


class PassiveOnlyHandler(FTPHandler):
    def ftp_PORT(self, line):
        self.respond("502 Active mode is not offered here.")

    def ftp_EPRT(self, line):
        self.respond("502 Active mode is not offered here.")


def main():
    root = sys.argv[1]
    logging.basicConfig(level=logging.ERROR)
    authorizer = DummyAuthorizer()
    authorizer.add_anonymous(root, perm="elr")
    PassiveOnlyHandler.authorizer = authorizer
    server = FTPServer(("127.0.0.1", 0), PassiveOnlyHandler)
    print(server.address[1], flush=True)
    server.serve_forever()


main()
