// A placa senoidal resolvida pelo CG do PETSc com o multigrid geométrico PCMG sobre um DMDA de n x n pontos,
// contornos incluídos (a hierarquia 2049, 1025, ..., 3 da placa). As equações são as de cinco pontos da placa
// multiplicadas por dx dy (estêncil 4, -1, -1, -1, -1: a escala com que os operadores rediscretizados casam com a
// restrição transposta da interpolação bilinear); nas linhas de contorno, 4 T = 4 g, com as colunas de contorno
// levadas ao lado direito, de modo que a matriz é simétrica. O campo inicial tem os contornos e o interior nulo,
// e o resíduo medido é o da listagem (comum.h), calculado do campo.
//
//   par_petsc n=2049 opcoes='-pc_mg_levels 11 -pc_mg_galerkin both -mg_levels_ksp_type chebyshev ...'
//             [repeticoes= dica_tol= dica_disc= margem=0.01 tolerancia=1e-8 kmax=60] [campo=ARQUIVO kv=30]
#include <petscdmda.h>
#include <petscksp.h>

#include "comum.h"

namespace {

// O operador de um nível (o DMDA diz o tamanho): o fino e, sem Galerkin, os grossos rediscretizados.
PetscErrorCode operador(KSP ksp, Mat, Mat B, void*) {
    DM dm;
    PetscInt mx, my, xs, ys, xm, ym;
    PetscFunctionBeginUser;
    PetscCall(KSPGetDM(ksp, &dm));
    PetscCall(DMDAGetInfo(dm, nullptr, &mx, &my, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                          nullptr, nullptr, nullptr));
    PetscCall(DMDAGetCorners(dm, &xs, &ys, nullptr, &xm, &ym, nullptr));
    for (PetscInt j = ys; j < ys + ym; ++j)
        for (PetscInt i = xs; i < xs + xm; ++i) {
            MatStencil linha{}, col[5]{};
            PetscScalar v[5];
            linha.i = i;
            linha.j = j;
            PetscInt c = 0;
            col[c].i = i;
            col[c].j = j;
            v[c++] = 4.0;
            if (i > 0 && j > 0 && i < mx - 1 && j < my - 1) {
                const PetscInt vi[4] = {i - 1, i + 1, i, i}, vj[4] = {j, j, j - 1, j + 1};
                for (int q = 0; q < 4; ++q)
                    if (vi[q] > 0 && vj[q] > 0 && vi[q] < mx - 1 && vj[q] < my - 1) {
                        col[c].i = vi[q];
                        col[c].j = vj[q];
                        v[c++] = -1.0;
                    }
            }
            PetscCall(MatSetValuesStencil(B, 1, &linha, c, col, v, INSERT_VALUES));
        }
    PetscCall(MatAssemblyBegin(B, MAT_FINAL_ASSEMBLY));
    PetscCall(MatAssemblyEnd(B, MAT_FINAL_ASSEMBLY));
    PetscFunctionReturn(0);
}

} // namespace

int main(int argc, char** argv) {
    const pares::argumentos a(argc, argv);
    const int n = a.inteiro("n", 129);
    if (n < 5) {
        std::fprintf(stderr, "n must be 5 or more\n");
        return 2;
    }
    const std::string opcoes = a.texto("opcoes", "-pc_mg_levels 2");
    PetscCall(PetscInitializeNoArguments());
    PetscCall(PetscOptionsInsertString(nullptr, opcoes.c_str()));
    const pares::problema p = pares::montar_problema(n);

    double t0 = pares::agora();
    DM da;
    PetscCall(DMDACreate2d(PETSC_COMM_WORLD, DM_BOUNDARY_NONE, DM_BOUNDARY_NONE, DMDA_STENCIL_STAR, n, n,
                           PETSC_DECIDE, PETSC_DECIDE, 1, 1, nullptr, nullptr, &da));
    PetscCall(DMSetUp(da));
    Mat A;
    Vec b, x, x0;
    PetscCall(DMCreateMatrix(da, &A));
    PetscCall(DMCreateGlobalVector(da, &b));
    PetscCall(VecDuplicate(b, &x));
    PetscCall(VecDuplicate(b, &x0));
    {
        // lado direito: 4 g no contorno; no interior, os vizinhos de contorno (vezes dx dy, isto é, 1)
        const std::vector<double> inicial = p.campo_inicial();
        PetscScalar *vb, *vx;
        PetscCall(VecGetArray(b, &vb));
        PetscCall(VecGetArray(x0, &vx));
        for (int j = 0; j < n; ++j)
            for (int i = 0; i < n; ++i) {
                const std::size_t q = i + static_cast<std::size_t>(j) * n;
                vx[q] = inicial[q];
                if (!p.interior(i, j)) {
                    vb[q] = 4.0 * p.contorno(i, j);
                    continue;
                }
                double f = 0.0;
                if (j == 1) f += p.contorno(i, 0);
                if (j == n - 2) f += p.contorno(i, n - 1);
                if (i == 1) f += p.contorno(0, j);
                if (i == n - 2) f += p.contorno(n - 1, j);
                vb[q] = f;
            }
        PetscCall(VecRestoreArray(b, &vb));
        PetscCall(VecRestoreArray(x0, &vx));
    }
    KSP ksp;
    PetscCall(KSPCreate(PETSC_COMM_WORLD, &ksp));
    PetscCall(KSPSetDM(ksp, da));
    PetscCall(KSPSetDMActive(ksp, PETSC_FALSE));
    PetscCall(KSPSetComputeOperators(ksp, operador, nullptr));
    PetscCall(operador(ksp, A, A, nullptr));
    const double montagem = pares::agora() - t0;

    t0 = pares::agora();
    PetscCall(KSPSetOperators(ksp, A, A));
    PetscCall(KSPSetType(ksp, KSPCG));
    PC pc;
    PetscCall(KSPGetPC(ksp, &pc));
    PetscCall(PCSetType(pc, PCMG));
    PetscCall(KSPSetFromOptions(ksp));
    // k iterações exatas: sem teste de parada nem normas além das do próprio método
    PetscCall(KSPSetNormType(ksp, KSP_NORM_NONE));
    PetscCall(KSPSetConvergenceTest(ksp, KSPConvergedSkip, nullptr, nullptr));
    PetscCall(KSPSetInitialGuessNonzero(ksp, PETSC_TRUE));
    PetscCall(KSPSetUp(ksp));
    {
        // uma aplicação do precondicionador dentro do preparo: as estimativas de autovalores do Chebyshev, que o
        // PETSc faz na primeira aplicação de cada suavizador, contam como preparo (custa um ciclo V a mais)
        Vec z;
        PetscCall(VecDuplicate(b, &z));
        PetscCall(PCApply(pc, b, z));
        PetscCall(VecDestroy(&z));
    }
    const double preparo = pares::agora() - t0;

    PetscErrorCode falha = 0;
    pares::solucao resolver = [&](int k, double& segundos) {
        std::vector<double> t(static_cast<std::size_t>(n) * n);
        if ((falha = VecCopy(x0, x)) || (falha = KSPSetTolerances(ksp, 0.0, 0.0, PETSC_DEFAULT, k))) return t;
        const double inicio = pares::agora();
        falha = KSPSolve(ksp, b, x);
        segundos = pares::agora() - inicio;
        const PetscScalar* vx;
        if (falha || (falha = VecGetArrayRead(x, &vx))) return t;
        for (std::size_t q = 0; q < t.size(); ++q) t[q] = vx[q];
        falha = VecRestoreArrayRead(x, &vx);
        return t;
    };
    pares::procura busca{p, resolver};
    const int r = pares::conduzir(a, p, busca, "PETSc", "CG + PCMG " + opcoes, montagem, preparo);
    PetscCall(falha);

    PetscCall(KSPDestroy(&ksp));
    PetscCall(VecDestroy(&b));
    PetscCall(VecDestroy(&x));
    PetscCall(VecDestroy(&x0));
    PetscCall(MatDestroy(&A));
    PetscCall(DMDestroy(&da));
    PetscCall(PetscFinalize());
    return r;
}
