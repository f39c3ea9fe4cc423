// Erro fatal: a mensagem completa; só main o captura e o escreve.
#pragma once

#include <stdexcept>
#include <string>

struct erro_fatal : std::runtime_error {
    using std::runtime_error::runtime_error;
};
