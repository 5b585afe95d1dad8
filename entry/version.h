/* The program's version: in the executable's version record and at the head
   of each run's section of the run log. Read by the resource compiler too. */
#ifndef KVXCFG_ENTRY_VERSION_H
#define KVXCFG_ENTRY_VERSION_H

#define KVX_VERSION 2013, 1, 23, 0
#define KVX_VERSION_TEXT "2013.01.23"

#endif /* KVXCFG_ENTRY_VERSION_H */
