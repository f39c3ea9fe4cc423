// Erro fatal: a mensagem completa; só main o captura e o escreve. E a fase da rodada, que a mensagem de falta de
// memória cita, seja qual for a alocação que falhou.
#pragma once

#include <stdexcept>
#include <string>
#include <utility>

struct erro_fatal : std::runtime_error {
    explicit erro_fatal(const std::string& mensagem, std::string dica_ = {})
        : std::runtime_error(mensagem), dica(std::move(dica_)) {}
    std::string dica; // uma segunda linha, "hint: ...", quando há o que sugerir
};

// Enquanto vive, a rodada está nesta fase ("reading the input", "writing the listing", ...).
class fase_rodada {
public:
    explicit fase_rodada(const char* o_que) : anterior_(atual_) { atual_ = o_que; }
    ~fase_rodada() { atual_ = anterior_; }
    fase_rodada(const fase_rodada&) = delete;
    fase_rodada& operator=(const fase_rodada&) = delete;
    /// A fase de agora.
    static const char* atual() { return atual_; }

private:
    const char* anterior_;
    static inline const char* atual_ = "starting the run";
};
