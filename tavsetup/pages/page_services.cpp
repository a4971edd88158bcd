#include "tavsetup/pages/page_services.h"

namespace tav {

PageServices* g_pPageServices = nullptr;

}  // namespace tav
