// Vetor de doubles das grades (T, cor, res): área zerada do sistema, páginas grandes onde houver.
#pragma once

#include <cstddef>

class vetor_grande {
public:
    vetor_grande() = default;
    /// n zeros, sem passada de preenchimento (a área já vem zerada); std::bad_alloc sem memória.
    explicit vetor_grande(std::size_t n);
    vetor_grande(const vetor_grande& outro);
    vetor_grande(vetor_grande&& outro) noexcept;
    vetor_grande& operator=(const vetor_grande& outro);
    vetor_grande& operator=(vetor_grande&& outro) noexcept;
    ~vetor_grande();

    /// Troca o conteúdo por n cópias de v.
    void assign(std::size_t n, double v);

    double* data() { return dados_; }
    const double* data() const { return dados_; }
    std::size_t size() const { return tamanho_; }
    bool empty() const { return tamanho_ == 0; }
    double& operator[](std::size_t i) { return dados_[i]; }
    const double& operator[](std::size_t i) const { return dados_[i]; }
    double* begin() { return dados_; }
    double* end() { return dados_ + tamanho_; }
    const double* begin() const { return dados_; }
    const double* end() const { return dados_ + tamanho_; }

private:
    void liberar();

    double* dados_ = nullptr;
    std::size_t tamanho_ = 0;
};
