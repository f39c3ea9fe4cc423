// GMRES(M) precondicionado à direita pelo ciclo da rodada (doc/metodo.md, 13.4): um passo de Arnoldi por iteração
// (Gram-Schmidt modificado, rotações de Givens), o iterado x0 + Z y formado a cada passo para a norma verdadeira;
// a base recomeça do iterado a cada M passos.
#include <cmath>
#include <vector>

#include "solver/krylov.h"

namespace {

class gmres final : public metodo_krylov {
public:
    gmres(espaco_krylov& s, int m)
        : s_(s), m_(m), x0_(vetor_krylov(s)), h_(static_cast<std::size_t>(m + 2) * (m + 1), 0.0),
          c_(static_cast<std::size_t>(m) + 1), sn_(c_.size()), g_(static_cast<std::size_t>(m) + 2), y_(c_.size()) {
        for (int i = 0; i <= m; ++i) v_.push_back(vetor_krylov(s));
        for (int i = 0; i < m; ++i) z_.push_back(vetor_krylov(s));
    }

    void iterar() override {
        if (j_ == 0 && !comecar()) return;
        const int j = ++j_;
        vetor_grande& w = v_[static_cast<std::size_t>(j)];
        precondicionar(s_, v_[static_cast<std::size_t>(j - 1)], z_[static_cast<std::size_t>(j - 1)]);
        aplicar_operador(s_, z_[static_cast<std::size_t>(j - 1)], w);
        for (int i = 1; i <= j; ++i) {
            const vetor_grande& vi = v_[static_cast<std::size_t>(i - 1)];
            const double hij = produto(s_, w, vi);
            H(i, j) = hij;
            em_cada_ponto(s_, [&](long P) { w[P] = w[P] - hij * vi[P]; });
        }
        const double hn = norma2(s_, w);
        H(j + 1, j) = hn;
        if (hn != 0.0) em_cada_ponto(s_, [&](long P) { w[P] = w[P] / hn; });
        for (int i = 1; i <= j - 1; ++i) {
            const double a = H(i, j), b = H(i + 1, j);
            H(i, j) = c_[i] * a + sn_[i] * b;
            H(i + 1, j) = c_[i] * b - sn_[i] * a;
        }
        const double a = H(j, j), b = H(j + 1, j);
        const double d = std::sqrt(a * a + b * b);
        if (rompe(d)) {
            s_.e.ruptura = "gmres: rotation norm = " + texto_numero(d);
            return;
        }
        c_[j] = a / d;
        sn_[j] = b / d;
        H(j, j) = d;
        g_[j + 1] = -(sn_[j] * g_[j]);
        g_[j] = c_[j] * g_[j];
        estimativa = std::fabs(g_[j + 1]);
        for (int i = j; i >= 1; --i) {
            double t = g_[i];
            for (int l = i + 1; l <= j; ++l) t = t - H(i, l) * y_[l];
            y_[i] = t / H(i, i);
        }
        double* T = s_.e.T.data();
        em_cada_ponto(s_, [&](long P) {
            double t = x0_[P];
            for (int i = 1; i <= j; ++i) t = t + y_[i] * z_[static_cast<std::size_t>(i - 1)][P];
            T[P] = t;
        });
        if (j == m_ || hn == 0.0) j_ = 0; // recomeça do iterado
    }

private:
    // Um novo ciclo de GMRES a partir de T; falso quando o resíduo é zero (nada a fazer) ou não é finito.
    bool comecar() {
        double* T = s_.e.T.data();
        em_cada_ponto(s_, [&](long P) { x0_[P] = T[P]; });
        vetor_grande& v1 = v_[0];
        residuo_verdadeiro(s_, v1);
        const double bn = norma2(s_, v1);
        if (bn == 0.0) {
            estimativa = 0.0;
            return false;
        }
        if (rompe(bn)) {
            s_.e.ruptura = "gmres: residual norm = " + texto_numero(bn);
            return false;
        }
        em_cada_ponto(s_, [&](long P) { v1[P] = v1[P] / bn; });
        for (double& x : g_) x = 0.0;
        g_[1] = bn;
        return true;
    }

    double& H(int i, int j) { return h_[static_cast<std::size_t>(i) * (m_ + 1) + j]; }

    espaco_krylov& s_;
    int m_;
    int j_ = 0; // passos do ciclo corrente
    vetor_grande x0_;
    std::vector<vetor_grande> v_, z_; // V(1..M+1) em v_[0..M], Z(1..M) em z_[0..M-1]
    std::vector<double> h_, c_, sn_, g_, y_; // H(i, j) com i = 1..M+1, j = 1..M; os demais a partir de 1
};

} // namespace

std::unique_ptr<metodo_krylov> criar_gmres(espaco_krylov& s, int m) { return std::make_unique<gmres>(s, m); }

