#include "deploy/install_configuration.h"

namespace kvx {

void InstallConfiguration(Host& host, ProgramContext& program) {
  // The steps come with the survey, boot-menu and deployment work.
  (void)host;
  (void)program;
}

}  // namespace kvx
