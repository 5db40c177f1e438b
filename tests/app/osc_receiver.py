# An OSC receiver independent of Feltrix (liblo): prints "port N" once it
# listens, then one line per message ("/path types value ..."), with
# "bundle TIMETAG" (seconds; "immediately" is 2**-32) and "end" around the
# messages of each bundle.

import liblo

server = liblo.Server()


def show(*words):
    print(*words, flush=True)


def message(path, values, types, source):
    show(path, types, *(repr(v) for v in values))


server.add_method(None, None, message)
server.add_bundle_handlers(lambda timetag, data: show("bundle", repr(timetag)), lambda data: show("end"))
show("port", server.port)
while True:
    server.recv(1000)
