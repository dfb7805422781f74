#pragma once
#include <QString>

#include <cstdint>

// One TCP connection attempt to an IPv4 address, bounded by TimeoutMs: a single connect(),
// never repeated. The connected socket's descriptor, or -1 when the attempt was refused, failed
// or timed out; a failed attempt's socket is closed before the call returns.
int DialOnce(const QString& Address, std::uint16_t Port, std::int32_t TimeoutMs);
