// Vetor de doubles das grades sobre as áreas da plataforma.
#include "state/vetor_grande.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

#include "platform/plataforma.h"

vetor_grande::vetor_grande(std::size_t n) {
    if (n == 0) return;
    if (n > static_cast<std::size_t>(-1) / sizeof(double)) throw std::bad_alloc();
    void* a = reservar_area(n * sizeof(double));
    if (!a) throw std::bad_alloc();
    dados_ = static_cast<double*>(a);
    tamanho_ = n;
}

vetor_grande::vetor_grande(const vetor_grande& outro) : vetor_grande(outro.tamanho_) {
    if (tamanho_ > 0) std::memcpy(dados_, outro.dados_, tamanho_ * sizeof(double));
}

vetor_grande::vetor_grande(vetor_grande&& outro) noexcept
    : dados_(std::exchange(outro.dados_, nullptr)), tamanho_(std::exchange(outro.tamanho_, 0)) {}

// do mesmo tamanho, a área que já existe recebe os valores: sem reservar outra (nem as faltas de página de uma nova)
vetor_grande& vetor_grande::operator=(const vetor_grande& outro) {
    if (this == &outro) return *this;
    if (tamanho_ == outro.tamanho_) {
        if (tamanho_ > 0) std::memcpy(dados_, outro.dados_, tamanho_ * sizeof(double));
    } else {
        *this = vetor_grande(outro);
    }
    return *this;
}

vetor_grande& vetor_grande::operator=(vetor_grande&& outro) noexcept {
    if (this != &outro) {
        liberar();
        dados_ = std::exchange(outro.dados_, nullptr);
        tamanho_ = std::exchange(outro.tamanho_, 0);
    }
    return *this;
}

vetor_grande::~vetor_grande() { liberar(); }

void vetor_grande::assign(std::size_t n, double v) {
    if (n != tamanho_) *this = vetor_grande(n);
    std::fill(begin(), end(), v);
}

void vetor_grande::liberar() {
    if (dados_) liberar_area(dados_, tamanho_ * sizeof(double));
    dados_ = nullptr;
    tamanho_ = 0;
}
