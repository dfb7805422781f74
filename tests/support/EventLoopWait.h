#pragma once
// Lets real time pass for a port that waits on a real socket: runs the event loop, and with it
// any timer started, looking every millisecond until a condition holds.
#include <chrono>
#include <functional>

// Runs the event loop until Done holds or Limit has passed; whether Done holds.
bool RunEventsUntil(const std::function<bool()>& Done, std::chrono::milliseconds Limit);
