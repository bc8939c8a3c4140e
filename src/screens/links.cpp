#include "screens/links.h"

#include <filesystem>

#include "platform/platform.h"

void OpenLink(const std::string& target) {
  const bool isAddress = target.rfind("http://", 0) == 0 || target.rfind("https://", 0) == 0;
  if (!isAddress && !std::filesystem::exists(target)) return;
  Platform->OpenLink(target);
}
