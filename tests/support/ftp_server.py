"""An anonymous, read-only FTP server on 127.0.0.1 for the tests; prints its port.

Active mode (PORT, EPRT) is refused, so a client that does not use passive mode fails.
With a second argument, every command received and the bytes of every file sent are
appended to that file, one line each ("REST 1000", "SENT 5000 medium.bin").
"""
import logging
import os
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

LOG = sys.argv[2] if len(sys.argv) > 2 else None


def note(line):
    if LOG:
        with open(LOG, "a") as log:
            log.write(line + "\n")


class PassiveOnlyHandler(FTPHandler):
    def ftp_PORT(self, line):
        self.respond("502 Active mode is not offered here.")

    def ftp_EPRT(self, line):
        self.respond("502 Active mode is not offered here.")

    def pre_process_command(self, line, cmd, arg):
        note(line)
        return super().pre_process_command(line, cmd, arg)

    def log_transfer(self, cmd, filename, receive, completed, elapsed, bytes):
        note("SENT %d %s" % (bytes, os.path.basename(filename)))
        return super().log_transfer(cmd, filename, receive, completed, elapsed, bytes)


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
