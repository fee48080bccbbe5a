// What an endpoint answers: a status and a body, either held whole or
// produced piece by piece (large test bodies are never held in memory).
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace zolfa_server {

struct ServiceReply {
  // Fills out with the body bytes [offset, offset + count).
  using Generator = std::function<void(size_t offset, char* out, size_t count)>;

  int status = 200;
  std::string contentType = "text/plain";
  std::string body;
  // When set, the body is generatedLength bytes from the generator and body
  // is not used.
  Generator generator;
  size_t generatedLength = 0;
  // Sends the body with chunked transfer coding instead of a length.
  bool chunked = false;

  size_t BodyLength() const { return generator ? generatedLength : body.size(); }

  static ServiceReply Text(int status, std::string text) {
    ServiceReply reply;
    reply.status = status;
    reply.body = std::move(text);
    return reply;
  }
};

}  // namespace zolfa_server
