// A small HTTP/1.1 server on 127.0.0.1 for the update-check tests. It serves the files of a
// folder; a request for NAME.enc that has no file of its own but a plain NAME is answered with
// NAME enciphered by the stored-data cipher. A rules file NAME.http beside a served name asks
// for misbehaviour, one rule a line:
//     status 404        answer this status with an empty body
//     delay-ms 4500     wait before answering
//     no-length         send the body without Content-Length, ending by closing
//     short 100         announce the whole length but send only 100 bytes, then close
// "/__quit" ends the server. Every connection is served on its own thread and closed after
// one answer.
#pragma once
#include <string>

namespace httpfixture {

// Listens on an ephemeral port of 127.0.0.1; returns the port, 0 on failure.
int Listen(int& listener);
// Serves until /__quit or idleSeconds without a request. Each request's method and target are
// appended to requestLog as one line (no log when it is empty).
void Serve(int listener, const std::string& root, int idleSeconds, const std::string& requestLog);

}
