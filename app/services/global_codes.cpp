// The request and response codes.
#include "app/services/global_codes.h"

namespace vaultrix::app {

std::int32_t GlobalRequest = 0;
std::int32_t GlobalResponse = 0;

std::int32_t TakeRequest() {
  const std::int32_t request = GlobalRequest;
  GlobalRequest = 0;
  GlobalResponse = 0;
  return request;
}

void LeaveResponse(std::int32_t local_response) {
  GlobalResponse = local_response == 0 ? kRequestCancelled : local_response;
}

}  // namespace vaultrix::app
