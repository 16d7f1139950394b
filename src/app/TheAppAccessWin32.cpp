#include "app/DunmoorApp.h"

CDunmoorApp& TheApp() { return *static_cast<CDunmoorApp*>(AfxGetApp()); }
