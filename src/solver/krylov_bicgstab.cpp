// BiCGSTAB precondicionado à direita pelo ciclo da rodada (doc/metodo.md, 13.3): cada passo tem duas metades, cada
// uma com um B; uma iteração externa é uma metade, para que a contagem compare com a dos ciclos.
#include "solver/krylov.h"

namespace {

class bicgstab final : public metodo_krylov {
public:
    explicit bicgstab(espaco_krylov& s)
        : s_(s), r_(vetor_krylov(s)), rt_(vetor_krylov(s)), p_(vetor_krylov(s)), v_(vetor_krylov(s)),
          h_(vetor_krylov(s)), t_(vetor_krylov(s)) {
        residuo_verdadeiro(s_, r_);
        em_cada_ponto(s_, [&](long P) { rt_[P] = r_[P]; });
    }

    void iterar() override {
        if (produto(s_, r_, r_) == 0.0) { // o iterado já resolve as equações discretas
            estimativa = 0.0;
            segunda_ = false;
            return;
        }
        if (segunda_) segunda_metade();
        else primeira_metade();
    }

private:
    void primeira_metade() {
        const double rho1 = produto(s_, rt_, r_);
        if (rompe(rho1)) return romper("rho = " + texto_numero(rho1));
        const double beta = (rho1 / rho_) * (alpha_ / om_);
        em_cada_ponto(s_, [&](long P) { p_[P] = r_[P] + beta * (p_[P] - om_ * v_[P]); });
        precondicionar(s_, p_, h_);
        aplicar_operador(s_, h_, v_);
        const double rv = produto(s_, rt_, v_);
        if (rompe(rv)) return romper("rt.v = " + texto_numero(rv));
        alpha_ = rho1 / rv;
        rho_ = rho1;
        atualizar(alpha_, h_, v_);
        segunda_ = true;
    }

    void segunda_metade() {
        precondicionar(s_, r_, h_);
        aplicar_operador(s_, h_, t_);
        const double tt = produto(s_, t_, t_);
        if (rompe(tt)) return romper("t.t = " + texto_numero(tt));
        om_ = produto(s_, t_, r_) / tt;
        if (rompe(om_)) return romper("omega = " + texto_numero(om_));
        atualizar(om_, h_, t_);
        segunda_ = false;
    }

    // T += a*d; r -= a*Ad; a estimativa é a norma do novo r.
    void atualizar(double a, const vetor_grande& d, const vetor_grande& ad) {
        double* T = s_.e.T.data();
        em_cada_ponto(s_, [&](long P) {
            T[P] = T[P] + a * d[P];
            r_[P] = r_[P] - a * ad[P];
        });
        estimativa = norma2(s_, r_);
    }

    void romper(const std::string& motivo) { s_.e.ruptura = "bicgstab: " + motivo; }

    espaco_krylov& s_;
    vetor_grande r_, rt_, p_, v_, h_, t_; // h: p ou s precondicionado
    double rho_ = 1.0, alpha_ = 1.0, om_ = 1.0;
    bool segunda_ = false;
};

} // namespace

std::unique_ptr<metodo_krylov> criar_bicgstab(espaco_krylov& s) { return std::make_unique<bicgstab>(s); }
