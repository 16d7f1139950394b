// The one application object of the process, constructed before WinMain.
#include "app/DunmoorApp.h"

CDunmoorApp theApp;
