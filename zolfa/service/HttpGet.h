// The one HTTP GET of the service client: a whole answer body read into
// memory, synchronously, on the calling worker thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

namespace zolfa {

// Result codes besides the HTTP status of the answer.
constexpr int32_t kHttpOk = 200;
constexpr int32_t kHttpCancelled = -1;       // a cancel flag was set at a check point
constexpr int32_t kHttpOpenFailed = -10;     // the HTTP session could not be opened
constexpr int32_t kHttpConnectFailed = -12;  // no connection object for host and port
constexpr int32_t kHttpRequestFailed = -13;  // the GET request could not be created
constexpr int32_t kHttpStatusFailed = -14;   // no status code could be read from the answer
constexpr int32_t kHttpNoMemory = -15;       // the body buffer could not be allocated or grown

// Sends GET path to host:port with the agent label and reads the answer.
//   port      only its low 16 bits are used.
//   cancelA/B optional flags owned by the caller; non-zero means stop. They
//             are polled at the check points and while the transfer waits.
//   toText    true: the body is decoded with codePage (0: the device's ANSI
//             code page, 65001: UTF-8) up to its first zero byte into UTF-16
//             with a terminating zero character, and *length is the number
//             of UTF-16 units before it times 2; false: the bytes as
//             received followed by one uncounted zero byte, *length their
//             number.
// On 200 *body is a buffer the caller owns and releases with HttpFreeBody;
// on every other result *body is null and *length 0.
int32_t HttpGet(const std::u16string& agent, const std::u16string& host, const std::u16string& path,
                uint32_t port, const std::atomic<int32_t>* cancelA,
                const std::atomic<int32_t>* cancelB, bool toText, uint32_t codePage, void** body,
                uint32_t* length);

// Releases a body handed out by HttpGet; null is allowed.
void HttpFreeBody(void* body);

// Replaces the allocator of body buffers (realloc-shaped: a null block
// allocates) so that tests can make an allocation fail; null restores
// realloc. Not for use while requests run.
using HttpReallocFn = void* (*)(void* block, size_t size);
void SetHttpReallocForTesting(HttpReallocFn fn);

}  // namespace zolfa
