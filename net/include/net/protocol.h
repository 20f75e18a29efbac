// Constants of the link to the game server.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

inline constexpr std::uint16_t kServerPort = 9999;
// The version the server must announce in every query reply.
inline constexpr std::string_view kClientVersion = "26";
// Where the version box sends a player whose client is out of date.
inline constexpr std::string_view kDownloadSite =
    "https://github.com/quartet-game/quartet/releases";

// A received frame longer than this is refused without being allocated.
inline constexpr std::uint32_t kMaxFrameLength = 1u << 20;
// Records decoded and not yet taken; when full, the receive thread waits.
inline constexpr std::size_t kQueueCapacity = 4096;
// Texts nested deeper than this are refused before they reach the parser.
inline constexpr int kMaxJsonDepth = 64;

// Box texts and titles of the link.
inline constexpr std::string_view kLinkBoxTitle = "error";
inline constexpr std::string_view kSendFailedText = "断开连接，请重新登录!";
inline constexpr std::string_view kReceiveErrorText = "从服务器接收数据错误.";
inline constexpr std::string_view kDisconnectedText = "与服务器断开连接!";
inline constexpr std::string_view kVersionBoxTitle = "错误";

std::string versionBoxText();
