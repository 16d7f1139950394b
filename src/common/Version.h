/* The program's version, for the version resource and the run log. Plain
   #defines only: the resource compiler reads this file too. */
#pragma once

#define DUNMOOR_FILE_VERSION "1.2.0.0420"
