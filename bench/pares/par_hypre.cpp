// A placa senoidal resolvida pelo PFMG do hypre (interface struct), como solucionador ou como precondicionador do
// PCG do hypre: a mesma malha de n x n pontos, as mesmas equações de cinco pontos sem escala (ap = 2 (ae + an),
// vizinhos -ae e -an), os contornos levados ao lado direito. A caixa do hypre tem só as incógnitas, índices 1 a n-2
// (x = i dx), de modo que o PFMG engrossa nos índices pares, como a hierarquia de malhas aninhadas da placa.
//
//   par_hypre n=2049 metodo=pfmg|pcg relax=0..3 pre=1 pos=1 skip=0|1 rap=0|1 [repeticoes= dica_tol= dica_disc=
//             margem=0.01 tolerancia=1e-8 kmax=60] [campo=ARQUIVO kv=30]
#include <mpi.h>

#include <HYPRE_struct_ls.h>
#include <HYPRE_utilities.h>

#include "comum.h"

namespace {

const char* nome_relaxacao(int r) {
    switch (r) {
    case 0: return "Jacobi";
    case 1: return "weighted Jacobi";
    case 2: return "RB-GS symmetric";
    case 3: return "RB-GS nonsymmetric";
    default: return "?";
    }
}

struct sistema {
    HYPRE_StructGrid grade{};
    HYPRE_StructStencil estencil{};
    HYPRE_StructMatrix A{};
    HYPRE_StructVector b{}, x{};
};

// Matriz e lado direito linha a linha da malha (uma linha de n-2 pontos por vez: pouca memória a 4097²).
sistema montar(const pares::problema& p) {
    sistema s;
    const int m = p.n - 2;
    HYPRE_Int baixo[2] = {1, 1}, alto[2] = {m, m};
    HYPRE_StructGridCreate(MPI_COMM_WORLD, 2, &s.grade);
    HYPRE_StructGridSetExtents(s.grade, baixo, alto);
    HYPRE_StructGridAssemble(s.grade);
    HYPRE_Int desvios[5][2] = {{0, 0}, {-1, 0}, {1, 0}, {0, -1}, {0, 1}};
    HYPRE_StructStencilCreate(2, 5, &s.estencil);
    for (int e = 0; e < 5; ++e) HYPRE_StructStencilSetElement(s.estencil, e, desvios[e]);
    HYPRE_StructMatrixCreate(MPI_COMM_WORLD, s.grade, s.estencil, &s.A);
    HYPRE_StructMatrixInitialize(s.A);
    HYPRE_StructVectorCreate(MPI_COMM_WORLD, s.grade, &s.b);
    HYPRE_StructVectorCreate(MPI_COMM_WORLD, s.grade, &s.x);
    HYPRE_StructVectorInitialize(s.b);
    HYPRE_StructVectorInitialize(s.x);
    std::vector<double> valores(5 * static_cast<std::size_t>(m)), direito(m), zeros(m, 0.0);
    HYPRE_Int entradas[5] = {0, 1, 2, 3, 4};
    for (int j = 1; j <= m; ++j) {
        for (int i = 1; i <= m; ++i) {
            double* v = &valores[5 * static_cast<std::size_t>(i - 1)];
            v[0] = p.ap;
            v[1] = i == 1 ? 0.0 : -p.ae;
            v[2] = i == m ? 0.0 : -p.ae;
            v[3] = j == 1 ? 0.0 : -p.an;
            v[4] = j == m ? 0.0 : -p.an;
            // vizinhos de contorno para o lado direito, na ordem do resíduo da listagem
            double f = 0.0;
            if (j == 1) f += p.an * p.contorno(i, 0);
            if (j == m) f += p.an * p.contorno(i, m + 1);
            if (i == 1) f += p.ae * p.contorno(0, j);
            if (i == m) f += p.ae * p.contorno(m + 1, j);
            direito[i - 1] = f;
        }
        HYPRE_Int l0[2] = {1, j}, l1[2] = {m, j};
        HYPRE_StructMatrixSetBoxValues(s.A, l0, l1, 5, entradas, valores.data());
        HYPRE_StructVectorSetBoxValues(s.b, l0, l1, direito.data());
        HYPRE_StructVectorSetBoxValues(s.x, l0, l1, zeros.data());
    }
    HYPRE_StructMatrixAssemble(s.A);
    HYPRE_StructVectorAssemble(s.b);
    HYPRE_StructVectorAssemble(s.x);
    return s;
}

} // namespace

int main(int argc, char** argv) {
    MPI_Init(nullptr, nullptr);
    const pares::argumentos a(argc, argv);
    const int n = a.inteiro("n", 129);
    const std::string metodo = a.texto("metodo", "pfmg");
    const int relax = a.inteiro("relax", 1), pre = a.inteiro("pre", 1), pos = a.inteiro("pos", 1);
    const int skip = a.inteiro("skip", 0), rap = a.inteiro("rap", 0);
    if (n < 5 || (metodo != "pfmg" && metodo != "pcg")) {
        std::fprintf(stderr, "n must be 5 or more and metodo pfmg or pcg\n");
        return 2;
    }
    const pares::problema p = pares::montar_problema(n);

    double t0 = pares::agora();
    sistema s = montar(p);
    const double montagem = pares::agora() - t0;

    // o PFMG (solucionador, ou uma iteração como precondicionador), e o PCG em volta dele
    HYPRE_StructSolver pfmg{}, pcg{};
    HYPRE_StructPFMGCreate(MPI_COMM_WORLD, &pfmg);
    HYPRE_StructPFMGSetRelaxType(pfmg, relax);
    HYPRE_StructPFMGSetNumPreRelax(pfmg, pre);
    HYPRE_StructPFMGSetNumPostRelax(pfmg, pos);
    HYPRE_StructPFMGSetSkipRelax(pfmg, skip);
    HYPRE_StructPFMGSetRAPType(pfmg, rap);
    HYPRE_StructPFMGSetTol(pfmg, 0.0);
    HYPRE_StructPFMGSetRelChange(pfmg, 0);
    HYPRE_StructPFMGSetLogging(pfmg, 0);
    HYPRE_StructPFMGSetPrintLevel(pfmg, 0);
    t0 = pares::agora();
    if (metodo == "pfmg") {
        HYPRE_StructPFMGSetMaxIter(pfmg, 1);
        HYPRE_StructPFMGSetup(pfmg, s.A, s.b, s.x);
    } else {
        HYPRE_StructPFMGSetMaxIter(pfmg, 1);
        HYPRE_StructPFMGSetZeroGuess(pfmg);
        HYPRE_StructPCGCreate(MPI_COMM_WORLD, &pcg);
        HYPRE_StructPCGSetTol(pcg, 0.0);
        HYPRE_StructPCGSetAbsoluteTol(pcg, 0.0);
        HYPRE_StructPCGSetTwoNorm(pcg, 1);
        HYPRE_StructPCGSetRelChange(pcg, 0);
        HYPRE_StructPCGSetLogging(pcg, 0);
        HYPRE_StructPCGSetPrintLevel(pcg, 0);
        HYPRE_StructPCGSetMaxIter(pcg, 1);
        HYPRE_StructPCGSetPrecond(pcg, HYPRE_StructPFMGSolve, HYPRE_StructPFMGSetup, pfmg);
        HYPRE_StructPCGSetup(pcg, s.A, s.b, s.x);
    }
    const double preparo = pares::agora() - t0;

    const int m = n - 2;
    std::vector<double> zeros(static_cast<std::size_t>(m) * m, 0.0), interior(zeros.size());
    HYPRE_Int l0[2] = {1, 1}, l1[2] = {m, m};
    pares::solucao resolver = [&](int k, double& segundos) {
        HYPRE_StructVectorSetBoxValues(s.x, l0, l1, zeros.data());
        const double inicio = pares::agora();
        if (metodo == "pfmg") {
            HYPRE_StructPFMGSetMaxIter(pfmg, k);
            HYPRE_StructPFMGSetZeroGuess(pfmg);
            HYPRE_StructPFMGSolve(pfmg, s.A, s.b, s.x);
        } else {
            HYPRE_StructPCGSetMaxIter(pcg, k);
            HYPRE_StructPCGSolve(pcg, s.A, s.b, s.x);
        }
        segundos = pares::agora() - inicio;
        HYPRE_ClearAllErrors(); // k iterações sem a tolerância: o "não convergiu" é o esperado
        HYPRE_StructVectorGetBoxValues(s.x, l0, l1, interior.data());
        std::vector<double> t = p.campo_inicial();
        for (int j = 1; j <= m; ++j)
            for (int i = 1; i <= m; ++i) t[i + static_cast<std::size_t>(j) * n] = interior[(i - 1) + static_cast<std::size_t>(j - 1) * m];
        return t;
    };
    pares::procura busca{p, resolver};

    char ajuste[200];
    std::snprintf(ajuste, sizeof ajuste, "%s, relax %d (%s), %d/%d sweeps, skip %d, %s coarse operators",
                  metodo == "pfmg" ? "PFMG" : "PCG + PFMG", relax, nome_relaxacao(relax), pre, pos, skip,
                  rap == 0 ? "Galerkin" : "non-Galerkin");
    const int r = pares::conduzir(a, p, busca, "hypre", ajuste, montagem, preparo);

    if (pcg) HYPRE_StructPCGDestroy(pcg);
    HYPRE_StructPFMGDestroy(pfmg);
    HYPRE_StructMatrixDestroy(s.A);
    HYPRE_StructVectorDestroy(s.b);
    HYPRE_StructVectorDestroy(s.x);
    HYPRE_StructStencilDestroy(s.estencil);
    HYPRE_StructGridDestroy(s.grade);
    MPI_Finalize();
    return r;
}
