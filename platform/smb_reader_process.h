#pragma once
// The work of the SMB reader processes (smb_wire.h): serving one program's reads over the socket
// found as smb_wire::kReaderSocket, and forking such readers. The reader program runs them; so
// does fennick-cli, which forks the spawner from itself as it starts.

namespace fennick::platform {

// Serves requests until the program closes its end or the connection breaks, then ends the
// process.
[[noreturn]] void serveReads();

// Forks a reader for every socket the program sends, until the program closes its end. The
// spawner has one thread and never logs on, so each reader starts as a fresh process would,
// without loading the client library again.
void spawnReaders();

// Sets up a reader or spawner process, started or forked, once its socket is in place: nothing
// else the program had open stays open, and a socket whose peer went answers with an error rather
// than a signal.
void settleOnReaderSocket();

}  // namespace fennick::platform
