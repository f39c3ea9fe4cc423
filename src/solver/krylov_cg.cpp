// Gradientes conjugados precondicionados pelo ciclo da rodada (doc/metodo.md, 13.2): um B por iteração, o resíduo
// pela recorrência como estimativa.
#include "solver/krylov.h"

namespace {

class gradientes_conjugados final : public metodo_krylov {
public:
    explicit gradientes_conjugados(espaco_krylov& s)
        : s_(s), r_(vetor_krylov(s)), z_(vetor_krylov(s)), p_(vetor_krylov(s)), q_(vetor_krylov(s)) {
        residuo_verdadeiro(s_, r_);
    }

    void iterar() override {
        if (produto(s_, r_, r_) == 0.0) { // o iterado já resolve as equações discretas
            estimativa = 0.0;
            return;
        }
        precondicionar(s_, r_, z_);
        const double rz1 = produto(s_, r_, z_);
        if (rompe(rz1)) return romper("r.z = " + texto_numero(rz1));
        if (primeiro_) {
            em_cada_ponto(s_, [&](long P) { p_[P] = z_[P]; });
        } else {
            const double beta = rz1 / rz_;
            em_cada_ponto(s_, [&](long P) { p_[P] = z_[P] + beta * p_[P]; });
        }
        rz_ = rz1;
        primeiro_ = false;
        aplicar_operador(s_, p_, q_);
        const double pq = produto(s_, p_, q_);
        if (rompe(pq)) return romper("p.Ap = " + texto_numero(pq));
        const double alpha = rz_ / pq;
        double* T = s_.e.T.data();
        em_cada_ponto(s_, [&](long P) {
            T[P] = T[P] + alpha * p_[P];
            r_[P] = r_[P] - alpha * q_[P];
        });
        estimativa = norma2(s_, r_);
    }

private:
    void romper(const std::string& motivo) { s_.e.ruptura = "cg: " + motivo; }

    espaco_krylov& s_;
    vetor_grande r_, z_, p_, q_;
    double rz_ = 0.0;
    bool primeiro_ = true;
};

} // namespace

std::unique_ptr<metodo_krylov> criar_cg(espaco_krylov& s) { return std::make_unique<gradientes_conjugados>(s); }
